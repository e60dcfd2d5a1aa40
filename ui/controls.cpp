#include "ui/controls.h"

#include <algorithm>

#include "common/win/utilities.h"
#include "ui/gdi.h"
#include "ui/twips.h"

namespace koral::ui {
namespace {

constexpr char kFrameClass[] = "KoralFrame";
constexpr char kPictureClass[] = "KoralPicture";
constexpr char kImageClass[] = "KoralImage";
constexpr char kShapeClass[] = "KoralShape";
// Room below a combo box's field for its drop-down list.
constexpr int kDropDownPixels = 160;

bool RegisterControlClass(const char* name, UINT style) {
  WNDCLASSEXA cls{};
  cls.cbSize = sizeof cls;
  cls.style = style;
  cls.lpfnWndProc = ControlProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls.lpszClassName = name;
  return RegisterClassExA(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

const char* CustomClass(const char* name) {
  static const bool registered = RegisterControlClass(kFrameClass, CS_HREDRAW | CS_VREDRAW) &&
                                 RegisterControlClass(kPictureClass, 0) &&
                                 RegisterControlClass(kImageClass, CS_DBLCLKS) &&
                                 RegisterControlClass(kShapeClass, CS_HREDRAW | CS_VREDRAW);
  return registered ? name : "STATIC";
}

SIZE BitmapSize(HGDIOBJ bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

// Outer pixel size of a window whose client area is the given size.
SIZE OuterSize(HWND window, SIZE client) {
  RECT r{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

// ---- Label ----

Control::WindowClass Label::Class() const { return {"STATIC", SS_NOTIFY}; }

DWORD Label::ExtraStyle() const {
  DWORD style = alignment_ == ui::Alignment::Centre  ? SS_CENTER
                : alignment_ == ui::Alignment::Right ? SS_RIGHT
                                                     : SS_LEFT;
  if (border_ == ui::BorderStyle::FixedSingle) style |= WS_BORDER;
  return style;
}

void Label::Created() {
  if (autoSize_) FitToText();
}

void Label::ResetState() {
  alignment_ = ui::Alignment::Left;
  backStyle_ = ui::BackStyle::Opaque;
  border_ = ui::BorderStyle::None;
  autoSize_ = false;
  wordWrap_ = false;
}

void Label::Alignment(ui::Alignment alignment) {
  alignment_ = alignment;
  RestyleWindow();
}

void Label::BackStyle(ui::BackStyle style) {
  backStyle_ = style;
  if (!hwnd()) return;
  InvalidateUnder();
  Repaint();
}

void Label::BorderStyle(ui::BorderStyle border) {
  border_ = border;
  RestyleWindow();
}

void Label::AutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_) FitToText();
}

void Label::WordWrap(bool wrap) {
  wordWrap_ = wrap;
  if (autoSize_) FitToText();
}

void Label::FitToText() {
  if (!hwnd()) return;
  WindowDC dc(hwnd());
  Selection font(dc.get(), FontHandle());
  RECT text{0, 0, wordWrap_ ? TwipsToPixelsX(Width()) : 0, 0};
  UINT format = DT_CALCRECT | DT_NOCLIP;
  if (wordWrap_) format |= DT_WORDBREAK;
  DrawTextA(dc.get(), Caption().c_str(), -1, &text, format);
  const SIZE outer = OuterSize(hwnd(), {text.right, text.bottom});
  Move(Left(), Top(), wordWrap_ ? Width() : PixelsToTwipsX(outer.cx), PixelsToTwipsY(outer.cy));
}

void Label::OnNotify(int code) {
  if (code == STN_CLICKED) Raise(Click);
  if (code == STN_DBLCLK) Raise(DblClick);
}

HBRUSH Label::OnColour(HDC dc) {
  SetTextColor(dc, ResolveColour(ForeColor()));
  if (backStyle_ == ui::BackStyle::Transparent) {
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  SetBkColor(dc, ResolveColour(BackColor()));
  return BackBrush();
}

bool Label::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_SETTEXT && message != WM_SETFONT) return false;
  result = CallBase(message, wParam, lParam);
  // A transparent label draws no background: what was under the old text must be redrawn.
  if (backStyle_ == ui::BackStyle::Transparent) InvalidateUnder();
  if (autoSize_) FitToText();
  return true;
}

// ---- CommandButton ----

Control::WindowClass CommandButton::Class() const { return {"BUTTON", WS_TABSTOP}; }

DWORD CommandButton::ExtraStyle() const { return Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

bool CommandButton::Default() const { return OwnerForm().DefaultButton() == this; }

void CommandButton::Default(bool isDefault) {
  CommandButton* previous = OwnerForm().DefaultButton();
  OwnerForm().DefaultButton(this, isDefault);
  for (CommandButton* button : {previous, this}) {
    if (button && button->hwnd())
      SendMessageA(button->hwnd(), BM_SETSTYLE, button->ExtraStyle(), TRUE);
  }
}

bool CommandButton::Cancel() const { return OwnerForm().CancelButton() == this; }

void CommandButton::Cancel(bool isCancel) { OwnerForm().CancelButton(this, isCancel); }

void CommandButton::Press() {
  if (hwnd() && IsWindowEnabled(hwnd())) Raise(Click);
}

void CommandButton::OnNotify(int code) {
  if (code == BN_CLICKED) Raise(Click);
}

// ---- CheckBox ----

Control::WindowClass CheckBox::Class() const { return {"BUTTON", BS_CHECKBOX | WS_TABSTOP}; }

void CheckBox::Created() { SendMessageA(hwnd(), BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0); }

void CheckBox::ResetState() { value_ = 0; }

void CheckBox::Value(int value) {
  const int normal = value != 0 ? 1 : 0;
  if (normal == value_) return;
  value_ = normal;
  if (hwnd()) SendMessageA(hwnd(), BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0);
  Raise(Click);
}

void CheckBox::OnNotify(int code) {
  if (code == BN_CLICKED) Value(value_ ? 0 : 1);
}

HBRUSH CheckBox::OnColour(HDC dc) {
  SetTextColor(dc, ResolveColour(ForeColor()));
  SetBkColor(dc, ResolveColour(BackColor()));
  return BackBrush();
}

// ---- OptionButton ----

Control::WindowClass OptionButton::Class() const { return {"BUTTON", BS_RADIOBUTTON | WS_TABSTOP}; }

void OptionButton::Created() { SendMessageA(hwnd(), BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0); }

void OptionButton::ResetState() { value_ = false; }

void OptionButton::SetState(bool selected) {
  value_ = selected;
  if (hwnd()) SendMessageA(hwnd(), BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionButton::Select() {
  SetState(true);
  for (Control* control : OwnerForm().Controls()) {
    auto* other = dynamic_cast<OptionButton*>(control);
    if (other && other != this && other->Parent() == Parent()) other->SetState(false);
  }
}

void OptionButton::Value(bool selected) {
  if (!selected) {
    SetState(false);
    return;
  }
  if (value_) return;
  Select();
  Raise(Click);
}

void OptionButton::OnNotify(int code) {
  if (code != BN_CLICKED) return;
  Select();
  Raise(Click);
}

HBRUSH OptionButton::OnColour(HDC dc) {
  SetTextColor(dc, ResolveColour(ForeColor()));
  SetBkColor(dc, ResolveColour(BackColor()));
  return BackBrush();
}

// ---- HScrollBar ----

Control::WindowClass HScrollBar::Class() const { return {"SCROLLBAR", SBS_HORZ | WS_TABSTOP}; }

void HScrollBar::Created() {
  SetScrollRange(hwnd(), SB_CTL, min_, max_, FALSE);
  ShowValue();
}

void HScrollBar::ResetState() {
  min_ = 0;
  max_ = 32767;
  small_ = 1;
  large_ = 1;
  value_ = 0;
  reported_ = 0;
}

int HScrollBar::Clamp(int value) const { return std::clamp(value, std::min(min_, max_), std::max(min_, max_)); }

void HScrollBar::ShowValue() {
  if (hwnd()) SetScrollPos(hwnd(), SB_CTL, value_, TRUE);
}

void HScrollBar::Range(int min, int max) {
  min_ = min;
  max_ = max;
  if (hwnd()) SetScrollRange(hwnd(), SB_CTL, std::min(min, max), std::max(min, max), TRUE);
  Commit(value_);
}

void HScrollBar::Steps(int smallChange, int largeChange) {
  small_ = smallChange;
  large_ = largeChange;
}

void HScrollBar::Value(int value) { Commit(value); }

void HScrollBar::Commit(int value) {
  value_ = Clamp(value);
  ShowValue();
  if (value_ == reported_) return;
  reported_ = value_;
  Raise(Change);
}

void HScrollBar::OnScroll(int code, int position) {
  switch (code) {
    case SB_LINELEFT:
      Commit(value_ - small_);
      break;
    case SB_LINERIGHT:
      Commit(value_ + small_);
      break;
    case SB_PAGELEFT:
      Commit(value_ - large_);
      break;
    case SB_PAGERIGHT:
      Commit(value_ + large_);
      break;
    case SB_LEFT:
      Commit(min_);
      break;
    case SB_RIGHT:
      Commit(max_);
      break;
    case SB_THUMBTRACK:
      value_ = Clamp(position);
      ShowValue();
      Raise(Scroll);
      break;
    case SB_THUMBPOSITION:
      Commit(position);
      break;
    case SB_ENDSCROLL:
      Commit(value_);
      break;
    default:
      break;
  }
}

// ---- ComboBox ----

Control::WindowClass ComboBox::Class() const {
  const DWORD kind = style_ == ComboStyle::DropdownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL;
  return {"COMBOBOX", kind | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP};
}

void ComboBox::Created() {
  for (const std::string& item : items_) SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (listIndex_ >= 0) SendMessageA(hwnd(), CB_SETCURSEL, listIndex_, 0);
  Move(Left(), Top(), Width(), Height());
}

void ComboBox::ResetState() {
  style_ = ComboStyle::DropdownList;
  items_.clear();
  listIndex_ = -1;
}

void ComboBox::Move(int left, int top, int width, int height) {
  Control::Move(left, top, width, height);
  if (hwnd())
    SetWindowPos(hwnd(), nullptr, 0, 0, TwipsToPixelsX(width), TwipsToPixelsY(height) + kDropDownPixels,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboBox::AddItem(const std::string& item) {
  items_.push_back(item);
  if (hwnd()) SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void ComboBox::Clear() {
  items_.clear();
  listIndex_ = -1;
  if (hwnd()) SendMessageA(hwnd(), CB_RESETCONTENT, 0, 0);
}

std::string ComboBox::List(int index) const {
  if (index < 0 || index >= ListCount()) return {};
  return items_[static_cast<size_t>(index)];
}

void ComboBox::ListIndex(int index) {
  if (index < -1 || index >= ListCount() || index == listIndex_) return;
  listIndex_ = index;
  if (hwnd()) SendMessageA(hwnd(), CB_SETCURSEL, index, 0);
  Raise(Click);
}

std::string ComboBox::Text() const {
  if (!hwnd()) return List(listIndex_);
  char buffer[512] = {};
  GetWindowTextA(hwnd(), buffer, sizeof buffer);
  return buffer;
}

void ComboBox::OnNotify(int code) {
  if (code != CBN_SELCHANGE) return;
  listIndex_ = static_cast<int>(SendMessageA(hwnd(), CB_GETCURSEL, 0, 0));
  Raise(Click);
}

// ---- Frame ----

Control::WindowClass Frame::Class() const {
  return {CustomClass(kFrameClass), 0, WS_EX_CONTROLPARENT, true};
}

bool Frame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_SETTEXT:
      result = CallBase(message, wParam, lParam);
      Repaint();
      return true;
    case WM_PAINT: {
      PaintScope paint(hwnd());
      const HDC dc = paint.get();
      RECT area;
      GetClientRect(hwnd(), &area);
      FillRect(dc, &area, BackBrush());
      Selection font(dc, FontHandle());
      TEXTMETRICA metrics{};
      GetTextMetricsA(dc, &metrics);
      RECT box = area;
      box.top += metrics.tmHeight / 2;
      DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT);
      if (!Caption().empty()) {
        RECT text{8, 0, area.right - 8, metrics.tmHeight};
        DrawTextA(dc, Caption().c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
        FillRect(dc, &text, BackBrush());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, IsWindowEnabled(hwnd()) ? ResolveColour(ForeColor()) : GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, Caption().c_str(), -1, &text, DT_SINGLELINE);
      }
      return true;
    }
    default:
      return false;
  }
}

// ---- PictureBox ----

Control::WindowClass PictureBox::Class() const {
  return {CustomClass(kPictureClass), 0, WS_EX_CONTROLPARENT, true};
}

DWORD PictureBox::ExtraExStyle() const {
  return border_ == ui::BorderStyle::FixedSingle ? WS_EX_CLIENTEDGE : 0;
}

void PictureBox::Created() {
  FitSurface();
  if (autoSize_) FitToPicture();
}

void PictureBox::ResetState() {
  border_ = ui::BorderStyle::FixedSingle;
  scaleMode_ = ui::ScaleMode::Twips;
  align_ = ui::Align::None;
  autoSize_ = false;
  drawWidth_ = 1;
  currentX_ = 0;
  currentY_ = 0;
  picture_.reset();
  surface_.reset();
  surfaceSize_ = {0, 0};
}

void PictureBox::BorderStyle(ui::BorderStyle border) {
  border_ = border;
  RestyleWindow();
  FitSurface();
}

void PictureBox::Align(ui::Align align) {
  align_ = align;
  OwnerForm().AlignPictures();
}

int PictureBox::PixelX(int units) const {
  return scaleMode_ == ui::ScaleMode::Pixels ? units : TwipsToPixelsX(units);
}
int PictureBox::PixelY(int units) const {
  return scaleMode_ == ui::ScaleMode::Pixels ? units : TwipsToPixelsY(units);
}
int PictureBox::ToUnitsX(int pixels) const {
  return scaleMode_ == ui::ScaleMode::Pixels ? pixels : PixelsToTwipsX(pixels);
}
int PictureBox::ToUnitsY(int pixels) const {
  return scaleMode_ == ui::ScaleMode::Pixels ? pixels : PixelsToTwipsY(pixels);
}

int PictureBox::ScaleWidth() const {
  RECT r{};
  if (hwnd()) GetClientRect(hwnd(), &r);
  return ToUnitsX(r.right);
}

int PictureBox::ScaleHeight() const {
  RECT r{};
  if (hwnd()) GetClientRect(hwnd(), &r);
  return ToUnitsY(r.bottom);
}

void PictureBox::BackColor(Colour colour) {
  Control::BackColor(colour);
  Cls();
}

bool PictureBox::LoadPicture(const std::string& path) { return TakePicture(UniqueGdiObject(LoadCompleteBitmap(path))); }

bool PictureBox::TakePicture(UniqueGdiObject picture) {
  if (!picture) return false;
  picture_ = std::move(picture);
  if (autoSize_) FitToPicture();
  Cls();
  return true;
}

bool PictureBox::CopyPicture(const PictureBox& from) {
  if (!from.picture_) return false;
  UniqueGdiObject copy(CopyImage(from.picture_.get(), IMAGE_BITMAP, 0, 0, 0));
  if (!copy) return false;
  picture_ = std::move(copy);
  if (autoSize_) FitToPicture();
  Cls();
  return true;
}

int PictureBox::PictureWidth() const { return PixelsToTwipsX(BitmapSize(picture_.get()).cx); }
int PictureBox::PictureHeight() const { return PixelsToTwipsY(BitmapSize(picture_.get()).cy); }

void PictureBox::AutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_) FitToPicture();
}

void PictureBox::FitToPicture() {
  if (!hwnd() || !picture_) return;
  const SIZE outer = OuterSize(hwnd(), BitmapSize(picture_.get()));
  Move(Left(), Top(), PixelsToTwipsX(outer.cx), PixelsToTwipsY(outer.cy));
}

void PictureBox::FitSurface() {
  if (!hwnd()) return;
  RECT area;
  GetClientRect(hwnd(), &area);
  const SIZE size{std::max<LONG>(area.right, 1), std::max<LONG>(area.bottom, 1)};
  if (surface_ && size.cx == surfaceSize_.cx && size.cy == surfaceSize_.cy) return;
  WindowDC screen(nullptr);
  UniqueGdiObject fresh(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
  if (!fresh) return;
  UniqueMemoryDC target(CreateCompatibleDC(screen.get()));
  {
    Selection selected(target.get(), fresh.get());
    RECT all{0, 0, size.cx, size.cy};
    FillRect(target.get(), &all, BackBrush());
    if (surface_) {
      UniqueMemoryDC source(CreateCompatibleDC(screen.get()));
      Selection old(source.get(), surface_.get());
      BitBlt(target.get(), 0, 0, surfaceSize_.cx, surfaceSize_.cy, source.get(), 0, 0, SRCCOPY);
    }
  }
  const bool first = !surface_;
  surface_ = std::move(fresh);
  surfaceSize_ = size;
  if (first) Cls();
  Repaint(nullptr, false);
}

template <typename Draw>
void PictureBox::DrawOnSurface(const RECT& touched, Draw draw) {
  if (!surface_) return;
  WindowDC screen(nullptr);
  UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
  {
    Selection selected(dc.get(), surface_.get());
    draw(dc.get());
  }
  RECT area = touched;
  InflateRect(&area, drawWidth_ + 1, drawWidth_ + 1);
  Repaint(&area, false);
}

void PictureBox::Cls() {
  currentX_ = 0;
  currentY_ = 0;
  const RECT all{0, 0, surfaceSize_.cx, surfaceSize_.cy};
  DrawOnSurface(all, [&](HDC dc) {
    FillRect(dc, &all, BackBrush());
    if (!picture_) return;
    WindowDC screen(nullptr);
    UniqueMemoryDC source(CreateCompatibleDC(screen.get()));
    Selection picture(source.get(), picture_.get());
    const SIZE size = BitmapSize(picture_.get());
    BitBlt(dc, 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
  });
}

void PictureBox::Line(int x1, int y1, int x2, int y2, Colour colour) {
  const POINT from{PixelX(x1), PixelY(y1)};
  const POINT to{PixelX(x2), PixelY(y2)};
  const RECT touched{std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y)};
  DrawOnSurface(touched, [&](HDC dc) {
    UniqueGdiObject pen(CreatePen(PS_SOLID, drawWidth_, ResolveColour(colour)));
    Selection selected(dc, pen.get());
    MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, to.x, to.y);
  });
  currentX_ = x2;
  currentY_ = y2;
}

void PictureBox::LineTo(int x, int y, Colour colour) { Line(currentX_, currentY_, x, y, colour); }

void PictureBox::PSet(int x, int y, Colour colour) {
  const POINT at{PixelX(x), PixelY(y)};
  DrawOnSurface({at.x, at.y, at.x + 1, at.y + 1}, [&](HDC dc) {
    if (drawWidth_ <= 1) {
      SetPixel(dc, at.x, at.y, ResolveColour(colour));
      return;
    }
    UniqueGdiObject pen(CreatePen(PS_SOLID, 1, ResolveColour(colour)));
    UniqueGdiObject brush(CreateSolidBrush(ResolveColour(colour)));
    Selection selectedPen(dc, pen.get());
    Selection selectedBrush(dc, brush.get());
    const int low = drawWidth_ / 2;
    const int high = drawWidth_ - low;
    Ellipse(dc, at.x - low, at.y - low, at.x + high, at.y + high);
  });
  currentX_ = x;
  currentY_ = y;
}

void PictureBox::Box(int x1, int y1, int x2, int y2, Colour colour) {
  const POINT corners[5] = {{PixelX(x1), PixelY(y1)}, {PixelX(x2), PixelY(y1)}, {PixelX(x2), PixelY(y2)},
                            {PixelX(x1), PixelY(y2)}, {PixelX(x1), PixelY(y1)}};
  const RECT touched{std::min(corners[0].x, corners[2].x), std::min(corners[0].y, corners[2].y),
                     std::max(corners[0].x, corners[2].x), std::max(corners[0].y, corners[2].y)};
  DrawOnSurface(touched, [&](HDC dc) {
    UniqueGdiObject pen(CreatePen(PS_SOLID, drawWidth_, ResolveColour(colour)));
    Selection selected(dc, pen.get());
    Polyline(dc, corners, 5);
  });
  currentX_ = x2;
  currentY_ = y2;
}

COLORREF PictureBox::Point(int x, int y) const {
  const int px = PixelX(x);
  const int py = PixelY(y);
  if (!surface_ || px < 0 || py < 0 || px >= surfaceSize_.cx || py >= surfaceSize_.cy) return CLR_INVALID;
  WindowDC screen(nullptr);
  UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
  Selection selected(dc.get(), surface_.get());
  return GetPixel(dc.get(), px, py);
}

bool PictureBox::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
  switch (message) {
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT: {
      PaintScope paint(hwnd());
      if (surface_) {
        WindowDC screen(nullptr);
        UniqueMemoryDC source(CreateCompatibleDC(screen.get()));
        Selection selected(source.get(), surface_.get());
        BitBlt(paint.get(), 0, 0, surfaceSize_.cx, surfaceSize_.cy, source.get(), 0, 0, SRCCOPY);
      }
      return true;
    }
    case WM_SIZE:
      FitSurface();
      Raise(Resize);
      return false;
    case WM_GETDLGCODE:
      result = DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
      return true;
    // Strokes go on outside the box until the last button is released.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      SetCapture(hwnd());
      return false;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if ((wParam & kAnyButton) == 0 && GetCapture() == hwnd()) ReleaseCapture();
      if (message == WM_LBUTTONUP) Raise(Click);
      return false;
    default:
      return false;
  }
}

// ---- Image ----

Control::WindowClass Image::Class() const { return {CustomClass(kImageClass), 0, 0, true}; }

void Image::Created() { FitToPicture(); }

void Image::ResetState() {
  icon_ = nullptr;
  bitmap_.reset();
}

void Image::Icon(HICON icon) {
  icon_ = icon;
  bitmap_.reset();
  FitToPicture();
}

bool Image::LoadPicture(const std::string& path) {
  UniqueGdiObject loaded(LoadCompleteBitmap(path));
  if (!loaded) return false;
  bitmap_ = std::move(loaded);
  icon_ = nullptr;
  FitToPicture();
  return true;
}

void Image::FitToPicture() {
  if (!hwnd()) return;
  SIZE size{0, 0};
  if (icon_) size = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  if (bitmap_) size = BitmapSize(bitmap_.get());
  if (size.cx == 0) return;
  Move(Left(), Top(), PixelsToTwipsX(size.cx), PixelsToTwipsY(size.cy));
  InvalidateUnder();
}

bool Image::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT: {
      PaintScope paint(hwnd());
      if (icon_) DrawIconEx(paint.get(), 0, 0, icon_, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
      if (bitmap_) {
        UniqueMemoryDC source(CreateCompatibleDC(paint.get()));
        Selection selected(source.get(), bitmap_.get());
        const SIZE size = BitmapSize(bitmap_.get());
        BitBlt(paint.get(), 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
      }
      return true;
    }
    case WM_LBUTTONDBLCLK:
      Raise(DblClick);
      return true;
    case WM_LBUTTONUP:
      Raise(Click);
      return true;
    default:
      return false;
  }
}

// ---- Shape ----

Control::WindowClass Shape::Class() const { return {CustomClass(kShapeClass), 0, 0, true}; }

void Shape::Created() { OwnerForm().KeepShapesBeneath(GetParent(hwnd())); }

void Shape::ResetState() {
  backStyle_ = ui::BackStyle::Transparent;
  borderColour_ = kWindowText;
  borderWidth_ = 1;
}

void Shape::BackStyle(ui::BackStyle style) {
  backStyle_ = style;
  Repaint();
}

void Shape::BorderColor(Colour colour) {
  borderColour_ = colour;
  Repaint();
}

void Shape::BorderWidth(int pixels) {
  borderWidth_ = std::max(pixels, 0);
  Repaint();
}

bool Shape::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_NCHITTEST:
      result = HTTRANSPARENT;
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT: {
      PaintScope paint(hwnd());
      RECT area;
      GetClientRect(hwnd(), &area);
      if (backStyle_ == ui::BackStyle::Opaque) FillRect(paint.get(), &area, BackBrush());
      if (borderWidth_ > 0) {
        UniqueGdiObject pen(CreatePen(PS_INSIDEFRAME, borderWidth_, ResolveColour(borderColour_)));
        Selection selectedPen(paint.get(), pen.get());
        Selection hollow(paint.get(), GetStockObject(NULL_BRUSH));
        Rectangle(paint.get(), area.left, area.top, area.right, area.bottom);
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace koral::ui
