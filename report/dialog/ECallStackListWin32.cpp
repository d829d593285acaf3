#include "report/dialog/ECallStackListWin32.h"

#include "platform/win/UniqueHandle.h"

#include "report/dialog/ECallStackListCellsWin32.h"
#include "report/dialog/ESourceLocationWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportBlocks.h"

namespace {

struct ImageListTraits {
  using Handle = HIMAGELIST;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ImageList_Destroy(h); }
};
using UniqueImageList = UniqueHandle<ImageListTraits>;

constexpr const char* ImageNames[] = {"OZ_PLUS", "OZ_MINUS", "OZ_PAS", "OZ_DLL", "OZ_BPL",
                                      "OZ_VCL"};

// The colour of the top-left pixel stands for "transparent", as in most toolbar bitmaps.
COLORREF CornerColour(HBITMAP bitmap) {
  UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!dc) return CLR_NONE;
  SelectedObject selected(dc.get(), bitmap);
  return GetPixel(dc.get(), 0, 0);
}

// Every bitmap found goes in at the size of the first one found; a missing one gets -1.
UniqueImageList LoadImages(HINSTANCE resources, int* indexes, std::size_t count) {
  UniqueImageList list;
  int cx = 0, cy = 0;
  for (std::size_t i = 0; i < count; ++i) {
    indexes[i] = -1;
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(resources, ImageNames[i], IMAGE_BITMAP, cx, cy, LR_CREATEDIBSECTION)));
    if (!bitmap) continue;
    if (!list) {
      BITMAP info{};
      if (!GetObjectA(bitmap.get(), sizeof info, &info) || info.bmWidth <= 0 ||
          info.bmHeight <= 0)
        continue;
      cx = info.bmWidth;
      cy = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
      list.reset(ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, static_cast<int>(count), 0));
      if (!list) return list;
    }
    indexes[i] = ImageList_AddMasked(list.get(), bitmap.get(), CornerColour(bitmap.get()));
  }
  return list;
}

}  // namespace

void TCallStackListView::Attach(HWND listView, HINSTANCE resources,
                                const TReportSnapshot& snapshot,
                                const TOskedaModuleOptions& options,
                                const std::array<int, 6>& widths) {
  list_ = listView;
  widths_ = widths;
  rows_ = TCallStackRows(snapshot, options);
  ResetReportListView(list_);
  AddListColumns(list_, CallStackHeaders(options), widths.data());

  UniqueImageList images = LoadImages(resources, imageIndex_.data(), imageIndex_.size());
  images_ = images.get();
  const HIMAGELIST previous = reinterpret_cast<HIMAGELIST>(
      SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_)));
  images.release();
  if (previous && previous != images_) ImageList_Destroy(previous);
  Fill();
}

int TCallStackListView::ImageOfRow(std::size_t row) const {
  if (const TCallStackGroup* group = rows_.GroupAt(row))
    return imageIndex_[group->Expanded ? imMinus : imPlus];
  const TCallStackFrameRow* frame = rows_.FrameAt(row);
  switch (frame ? frame->Icon : TFrameIcon::None) {
    case TFrameIcon::Pas: return imageIndex_[imPas];
    case TFrameIcon::Dll: return imageIndex_[imDll];
    case TFrameIcon::Bpl: return imageIndex_[imBpl];
    case TFrameIcon::Vcl: return imageIndex_[imVcl];
    default: return -1;
  }
}

void TCallStackListView::Fill() {
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  const auto& visible = rows_.Visible();
  for (std::size_t i = 0; i < visible.size(); ++i) {
    if (const TCallStackGroup* group = rows_.GroupAt(i))
      InsertListRow(list_, static_cast<int>(i), {group->ThreadText}, ImageOfRow(i));
    else
      InsertListRow(list_, static_cast<int>(i), rows_.FrameAt(i)->Cells, ImageOfRow(i));
  }
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void TCallStackListView::ToggleRow(int row) {
  if (row < 0 || !rows_.Toggle(static_cast<std::size_t>(row))) return;
  // Only the group's own rows change, so the rest of the list keeps its scroll position and
  // selection.
  const TCallStackGroup& group = *rows_.GroupAt(static_cast<std::size_t>(row));
  const int frames = static_cast<int>(group.Frames.size());
  if (group.Expanded) {
    for (int f = 0; f < frames; ++f)
      InsertListRow(list_, row + 1 + f, rows_.FrameAt(static_cast<std::size_t>(row + 1 + f))->Cells,
                    ImageOfRow(static_cast<std::size_t>(row + 1 + f)));
  } else {
    for (int f = 0; f < frames; ++f) SendMessageA(list_, LVM_DELETEITEM, row + 1, 0);
  }
  LVITEMA mark{};
  mark.mask = LVIF_IMAGE;
  mark.iItem = row;
  const int image = ImageOfRow(static_cast<std::size_t>(row));
  mark.iImage = image < 0 ? I_IMAGENONE : image;
  SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&mark));
  SendMessageA(list_, LVM_REDRAWITEMS, row, row);
}

LRESULT TCallStackListView::CustomDraw(NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const std::size_t row = draw.nmcd.dwItemSpec;
  const TCallStackGroup* group = rows_.GroupAt(row);
  if (!group) return CDRF_DODEFAULT;

  // A thread line is as wide as the table, so it is drawn across every column.
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  if (!SendMessageA(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)))
    return CDRF_DODEFAULT;
  const HDC dc = draw.nmcd.hdc;
  const bool selected =
      SendMessageA(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
  FillRect(dc, &bounds, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
  RECT text = bounds;
  text.left += 2;
  const int image = ImageOfRow(row);
  if (images_ && image >= 0) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images_, &cx, &cy);
    ImageList_Draw(images_, image, dc, text.left, bounds.top + (bounds.bottom - bounds.top - cy) / 2,
                   ILD_TRANSPARENT);
    text.left += cx + 4;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
  DrawTextA(dc, group->ThreadText.c_str(), static_cast<int>(group->ThreadText.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  return CDRF_SKIPDEFAULT;
}

bool TCallStackListView::OnNotify(const NMHDR& header, LRESULT& result) {
  if (!list_ || header.hwndFrom != list_) return false;
  switch (header.code) {
    case NM_CLICK: {
      const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
      int row = click.iItem;
      if (row < 0) {
        LVHITTESTINFO hit{};
        hit.pt = click.ptAction;
        row = static_cast<int>(
            SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      }
      ToggleRow(row);
      result = 0;
      return true;
    }
    case LVN_ITEMACTIVATE: {
      const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (activate.iItem >= 0)
        if (const auto location = rows_.SourceLocationAt(static_cast<std::size_t>(activate.iItem)))
          SendSourceLocation(EncodeSourceLocation(*location));
      result = 0;
      return true;
    }
    case NM_CUSTOMDRAW:
      result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
      return true;
    default:
      return false;
  }
}

std::array<int, 6> TCallStackListView::ColumnWidths() const {
  ReadListColumnWidths(list_, widths_.data(), widths_.size());
  return widths_;
}
