#include "platform/SysUtils.h"
#include "platform/gui/ComCtrlsWin32.h"
#include "platform/ListSort.h"

int TListItemRank(const TListItem* item) noexcept { return item->sortRank_; }

namespace {

int ColumnFormat(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return LVCFMT_RIGHT;
    case taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
  }
}

// The control orders rows by the ranks AlphaSort computed; nothing here can throw.
int CALLBACK ByRank(LPARAM a, LPARAM b, LPARAM) noexcept {
  return TListItemRank(reinterpret_cast<const TListItem*>(a)) -
         TListItemRank(reinterpret_cast<const TListItem*>(b));
}

}  // namespace

void TListColumn::SetCaption(const std::string& value) {
  caption_ = value;
  Apply();
}

int TListColumn::Width() const {
  return static_cast<int>(SendMessageA(owner_.Handle(), LVM_GETCOLUMNWIDTH, index_, 0));
}

void TListColumn::SetWidth(int value) {
  width_ = value;
  Apply();
}

void TListColumn::SetAlignment(TAlignment value) {
  alignment_ = value;
  Apply();
}

void TListColumn::Apply() {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  column.fmt = ColumnFormat(alignment_);
  column.cx = width_;
  column.pszText = const_cast<char*>(caption_.c_str());
  SendMessageA(owner_.Handle(), LVM_SETCOLUMNA, index_, reinterpret_cast<LPARAM>(&column));
}

const std::string& TSubItems::Strings(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  return texts_[static_cast<size_t>(index)];
}

void TSubItems::Add(const std::string& text) {
  texts_.push_back(text);
  item_.owner_.UpdateCell(&item_, Count(), text);
}

void TSubItems::Set(int index, const std::string& text) {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  texts_[static_cast<size_t>(index)] = text;
  item_.owner_.UpdateCell(&item_, index + 1, text);
}

void TSubItems::Clear() {
  for (int i = 0; i < Count(); ++i) item_.owner_.UpdateCell(&item_, i + 1, "");
  texts_.clear();
}

void TListItem::SetCaption(const std::string& value) {
  caption_ = value;
  owner_.UpdateCell(this, 0, value);
}

void TListItem::SetData(void* value) {
  data_ = value;
  if (owner_.SortType() == stData || owner_.SortType() == stBoth) owner_.AlphaSort();
}

int TListItem::Index() const { return owner_.IndexOf(this); }

bool TListItem::Selected() const {
  const int index = Index();
  return index >= 0 &&
         SendMessageA(owner_.Handle(), LVM_GETITEMSTATE, index, LVIS_SELECTED) & LVIS_SELECTED;
}

void TListItem::SetSelected(bool value) {
  const int index = Index();
  if (index < 0) return;
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED;
  state.state = value ? LVIS_SELECTED : 0;
  SendMessageA(owner_.Handle(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
}

void TListItem::MakeVisible(bool PartialOK) {
  const int index = Index();
  if (index >= 0) SendMessageA(owner_.Handle(), LVM_ENSUREVISIBLE, index, PartialOK);
}

TListView::TListView(TWinControl* AParent) : TControl(AParent) {
  SetColor(clWindow);
  CreateHandle(WC_LISTVIEWA, WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL,
               WS_EX_CLIENTEDGE, AParent->Handle());
}

TListView::~TListView() {
  // The rows go with the window; no notification reaches this object after this point.
  if (handle_) SendMessageA(handle_, LVM_DELETEALLITEMS, 0, 0);
}

TListColumn* TListView::AddColumn(const std::string& caption, int width, TAlignment alignment) {
  const int index = static_cast<int>(columns_.size());
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  column.fmt = ColumnFormat(alignment);
  column.cx = width;
  column.iSubItem = index;
  column.pszText = const_cast<char*>(caption.c_str());
  if (SendMessageA(handle_, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)) < 0)
    throw Exception("Cannot add a list column");
  columns_.push_back(std::make_unique<TListColumn>(*this, index));
  TListColumn* added = columns_.back().get();
  added->caption_ = caption;
  added->width_ = width;
  added->alignment_ = alignment;
  return added;
}

int TListView::ItemCount() const {
  return static_cast<int>(SendMessageA(handle_, LVM_GETITEMCOUNT, 0, 0));
}

TListItem* TListView::Item(int index) const {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (index < 0 || !SendMessageA(handle_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
    throw EListError(Format("List index out of bounds (%d)", index));
  return reinterpret_cast<TListItem*>(item.lParam);
}

TListItem* TListView::AddItem() {
  items_.push_back(std::make_unique<TListItem>(*this));
  TListItem* added = items_.back().get();
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = ItemCount();
  item.pszText = const_cast<char*>("");
  item.lParam = reinterpret_cast<LPARAM>(added);
  const LRESULT index = SendMessageA(handle_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  if (index < 0) {
    items_.pop_back();
    throw Exception("Cannot add a list row");
  }
  added->sortRank_ = static_cast<int>(index);
  return added;
}

void TListView::ClearItems() {
  SendMessageA(handle_, LVM_DELETEALLITEMS, 0, 0);
  items_.clear();
}

int TListView::IndexOf(const TListItem* item) const {
  // Rows stay where they were added or last sorted to: one look there spares the search
  // through every row, which made filling a long list quadratic.
  LVITEMA there{};
  there.mask = LVIF_PARAM;
  there.iItem = item->sortRank_;
  if (SendMessageA(handle_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&there)) &&
      there.lParam == reinterpret_cast<LPARAM>(item))
    return item->sortRank_;
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = reinterpret_cast<LPARAM>(item);
  return static_cast<int>(
      SendMessageA(handle_, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

void TListView::UpdateCell(const TListItem* item, int column, const std::string& text) {
  const int index = IndexOf(item);
  if (index < 0) return;
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = const_cast<char*>(text.c_str());
  SendMessageA(handle_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&cell));
}

TListItem* TListView::Selected() const {
  const int index =
      static_cast<int>(SendMessageA(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return index < 0 ? nullptr : Item(index);
}

void TListView::SetSelected(TListItem* item) {
  if (item) {
    item->SetSelected(true);
    return;
  }
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED;
  SendMessageA(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void TListView::SetExStyleBit(DWORD bit, bool on) {
  SendMessageA(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, bit, on ? bit : 0);
}

void TListView::SetStyleBit(DWORD bit, bool on) {
  DWORD style = GetWindowLongA(handle_, GWL_STYLE);
  style = on ? style | bit : style & ~bit;
  SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(style));
  Invalidate();
}

void TListView::SetRowSelect(bool value) { SetExStyleBit(LVS_EX_FULLROWSELECT, value); }
void TListView::SetHideSelection(bool value) { SetStyleBit(LVS_SHOWSELALWAYS, !value); }
void TListView::SetReadOnly(bool value) { SetStyleBit(LVS_EDITLABELS, !value); }

void TListView::SetSortType(TSortType value) {
  sortType_ = value;
  if (value != stNone) AlphaSort();
}

void TListView::AlphaSort() {
  std::vector<TListItem*> order;
  const int count = ItemCount();
  order.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) order.push_back(Item(i));
  MergeSortBy(order, [this](TListItem* a, TListItem* b) {
    int result = 0;
    if (OnCompare)
      Application->Dispatch(this, [&] { OnCompare(this, a, b, 0, result); });
    else
      result = CompareText(a->caption_, b->caption_);
    return result;
  });
  for (size_t k = 0; k < order.size(); ++k) order[k]->sortRank_ = static_cast<int>(k);
  SendMessageA(handle_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ByRank));
}

bool TListView::HandleParentNotify(NMHDR* header, LRESULT& result) {
  result = 0;
  switch (header->code) {
    case NM_CLICK:
      Application->Fire(this, OnClick, this);
      return true;
    default:
      return false;
  }
}
