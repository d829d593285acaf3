// Common controls: the report-style list view, date and time pickers, the status bar.
#pragma once

#include "platform/win/WinApi.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "platform/gui/ControlsWin32.h"

class TListView;
class TListItem;
int TListItemRank(const TListItem* item) noexcept;

class TListColumn {
 public:
  TListColumn(TListView& owner, int index) : owner_(owner), index_(index) {}
  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(const std::string& value);
  int Width() const;
  void SetWidth(int value);
  TAlignment Alignment() const noexcept { return alignment_; }
  // The first column is always left-aligned (a rule of the list control).
  void SetAlignment(TAlignment value);
  int Index() const noexcept { return index_; }

 private:
  void Apply();
  friend class TListView;
  TListView& owner_;
  int index_;
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

// The texts after the caption of a row, one per column from the second on.
class TSubItems {
 public:
  explicit TSubItems(TListItem& item) : item_(item) {}
  int Count() const noexcept { return static_cast<int>(texts_.size()); }
  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  void Add(const std::string& text);
  void Set(int index, const std::string& text);
  void Clear();

 private:
  TListItem& item_;
  std::vector<std::string> texts_;
};

// A row: its texts are kept here and shown by the control; Data is a plain reference to the
// program's object for the row (never owned).
class TListItem {
 public:
  explicit TListItem(TListView& owner) : owner_(owner) {}
  TListItem(const TListItem&) = delete;
  TListItem& operator=(const TListItem&) = delete;
  TListView* Owner() const noexcept { return &owner_; }

  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(const std::string& value);
  TSubItems& SubItems() noexcept { return subItems_; }
  void* Data() const noexcept { return data_; }
  // With SortType stData or stBoth, attaching data sorts the whole list at once.
  void SetData(void* value);
  // The row's place in the list as shown (after sorting).
  int Index() const;
  bool Selected() const;
  void SetSelected(bool value);
  // Scrolls the list so that the row is in view (fully unless PartialOK).
  void MakeVisible(bool PartialOK);

 private:
  friend class TListView;
  friend class TSubItems;
  friend int TListItemRank(const TListItem* item) noexcept;
  TListView& owner_;
  std::string caption_;
  TSubItems subItems_{*this};
  void* data_ = nullptr;
  int sortRank_ = 0;
};

enum TSortType { stNone, stData, stText, stBoth };
// Compare event: Compare < 0 puts Item1 first.
using TLVCompareEvent = std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2,
                                           int Data, int& Compare)>;

class TListView : public TControl {
 public:
  explicit TListView(TWinControl* AParent);
  ~TListView() override;
  const char* ClassName() const noexcept override { return "TListView"; }

  TListColumn* AddColumn(const std::string& caption, int width,
                         TAlignment alignment = taLeftJustify);
  TListColumn* Column(int index) const { return columns_.at(static_cast<size_t>(index)).get(); }

  // Rows, in the order shown.
  int ItemCount() const;
  TListItem* Item(int index) const;
  // Appends a row with empty texts.
  TListItem* AddItem();
  void ClearItems();

  // The first selected row, or nullptr.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);

  // Whole-row selection; selection shown also when the list has no focus; one row at a time.
  void SetRowSelect(bool value);
  void SetHideSelection(bool value);
  void SetReadOnly(bool value);
  TSortType SortType() const noexcept { return sortType_; }
  void SetSortType(TSortType value);

  // Orders the rows with OnCompare (or by caption when there is none), stably.
  void AlphaSort();

  TNotifyEvent OnClick;
  TLVCompareEvent OnCompare;

  bool HandleParentNotify(NMHDR* header, LRESULT& result) override;
  int IndexOf(const TListItem* item) const;
  void UpdateCell(const TListItem* item, int column, const std::string& text);

 private:
  void SetExStyleBit(DWORD bit, bool on);
  void SetStyleBit(DWORD bit, bool on);
  std::vector<std::unique_ptr<TListColumn>> columns_;
  std::vector<std::unique_ptr<TListItem>> items_;  // owned, in insertion order
  TSortType sortType_ = stNone;
};

enum TDateTimeKind { dtkDate, dtkTime };

// A date picker (short date format, drop-down calendar) or a time picker (the system's long
// time format). It holds one date-time: setting the date keeps the time of day, setting the
// time keeps the date. A value that differs from the shown one raises OnChange, as a user's
// edit does.
class TDateTimePicker : public TControl {
 public:
  explicit TDateTimePicker(TWinControl* AParent, TDateTimeKind kind = dtkDate);
  const char* ClassName() const noexcept override { return "TDateTimePicker"; }
  TDateTimeKind Kind() const noexcept { return kind_; }
  TDateTime DateTime() const;
  void SetDateTime(TDateTime value);
  // The whole days of the value.
  TDateTime Date() const;
  void SetDate(TDateTime value);
  // The time of day of the value (0 <= Time < 1).
  TDateTime Time() const;
  void SetTime(TDateTime value);
  TNotifyEvent OnChange;
  TNotifyEvent OnCloseUp;
  bool HandleParentNotify(NMHDR* header, LRESULT& result) override;

 private:
  SYSTEMTIME Shown() const;
  void Apply(const SYSTEMTIME& value);
  TDateTimeKind kind_;
  bool setting_ = false;
};

class TStatusBar : public TControl {
 public:
  explicit TStatusBar(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TStatusBar"; }
  // One panel spanning the bar.
  void SetSimplePanel(bool value);
  void SetSimpleText(const std::string& value);
};
