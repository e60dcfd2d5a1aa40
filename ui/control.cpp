#include "ui/control.h"

#include "common/win/pointer.h"
#include "ui/form.h"
#include "ui/names.h"
#include "ui/twips.h"

namespace koral::ui {
namespace {

constexpr UINT kNoZOrderChange = SWP_NOZORDER | SWP_NOACTIVATE;

int ButtonsHeld(WPARAM wParam) {
  int buttons = 0;
  if (wParam & MK_LBUTTON) buttons |= kLeftButton;
  if (wParam & MK_RBUTTON) buttons |= kRightButton;
  if (wParam & MK_MBUTTON) buttons |= kMiddleButton;
  return buttons;
}

}  // namespace

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftKey;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlKey;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltKey;
  return shift;
}

COLORREF ResolveColour(Colour colour) {
  if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFF));
  return static_cast<COLORREF>(colour & 0xFFFFFF);
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<Control*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!control && message == WM_NCCREATE) {
    control = static_cast<Control*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (control) control->Attach(window);
  }
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  return control->Dispatch(message, wParam, lParam);
}

Control::Control(Form* form, std::string name, int index)
    : form_(form), name_(std::move(name)), index_(index) {
  form_->Register(this);
}

Control::~Control() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::string Control::WindowName() const {
  return index_ == kNoIndex ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

Control* Control::FromWindow(HWND window) {
  if (!window || !GetPropA(window, kNameProperty)) return nullptr;
  auto* control = reinterpret_cast<Control*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return control && control->hwnd_ == window ? control : nullptr;
}

bool Control::Create(Container& in, const Rect& place, const std::string& caption) {
  if (hwnd_) return true;
  if (!in.ContainerWindow()) return false;
  parent_ = &in;
  place_ = place;
  caption_ = caption;
  const WindowClass cls = Class();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | cls.Style | ExtraStyle();
  if (visible_) style |= WS_VISIBLE;
  if (!enabled_) style |= WS_DISABLED;
  const HWND window = CreateWindowExA(
      cls.ExStyle | ExtraExStyle(), cls.Name, caption.c_str(), style, TwipsToPixelsX(place.Left),
      TwipsToPixelsY(place.Top), TwipsToPixelsX(place.Width), TwipsToPixelsY(place.Height),
      in.ContainerWindow(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(form_->NextControlId())),
      GetModuleHandleA(nullptr), this);
  if (!window) return false;
  if (!cls.Custom) {
    Attach(window);
    baseProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc)));
  }
  AttachName(window, WindowName());
  ApplyFont();
  Created();
  form_->KeepShapesBeneath(in.ContainerWindow());
  return true;
}

void Control::Attach(HWND window) {
  hwnd_ = window;
  baseProc_ = DefWindowProcA;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Control::Detach() {
  DetachName(hwnd_);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  parent_ = nullptr;
  place_ = {};
  caption_.clear();
  visible_ = true;
  enabled_ = true;
  foreColour_.reset();
  backColour_.reset();
  font_ = {};
  fontObject_.reset();
  backBrush_.reset();
  brushColour_ = CLR_INVALID;
  ResetState();
}

LRESULT Control::CallBase(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(baseProc_, hwnd_, message, wParam, lParam);
}

LRESULT Control::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = hwnd_;
  LRESULT result = 0;
  if (DispatchShared(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      RaiseMouse(MouseDown, kLeftButton, wParam, lParam);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      RaiseMouse(MouseDown, kRightButton, wParam, lParam);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      RaiseMouse(MouseDown, kMiddleButton, wParam, lParam);
      break;
    case WM_LBUTTONUP:
      RaiseMouse(MouseUp, kLeftButton, wParam, lParam);
      break;
    case WM_RBUTTONUP:
      RaiseMouse(MouseUp, kRightButton, wParam, lParam);
      break;
    case WM_MBUTTONUP:
      RaiseMouse(MouseUp, kMiddleButton, wParam, lParam);
      break;
    case WM_MOUSEMOVE:
      RaiseMouse(MouseMove, ButtonsHeld(wParam), wParam, lParam);
      break;
    case WM_CHAR:
      Raise(KeyPress, static_cast<int>(wParam));
      break;
    case WM_NCDESTROY: {
      const WNDPROC base = baseProc_;
      Detach();
      return CallWindowProcA(base, window, message, wParam, lParam);
    }
    default:
      break;
  }
  // A handler may have unloaded the form, and this window with it.
  if (!IsWindow(window) || hwnd_ != window) return 0;
  if (OnMessage(message, wParam, lParam, result)) return result;
  return CallWindowProcA(baseProc_, window, message, wParam, lParam);
}

void Control::RaiseMouse(const MouseEvent& event, int button, WPARAM, LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  Raise(event, button, ShiftState(), ToUnitsX(x), ToUnitsY(y));
}

bool Control::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
int Control::ToUnitsX(int pixels) const { return PixelsToTwipsX(pixels); }
int Control::ToUnitsY(int pixels) const { return PixelsToTwipsY(pixels); }

bool Control::EventsLive() const { return hwnd_ && !form_->Designing(); }

bool DispatchShared(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SETCURSOR:
      if (!ApplyHourglass()) return false;
      result = TRUE;
      return true;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      break;
    default:
      return false;
  }
  Control* child = Control::FromWindow(reinterpret_cast<HWND>(lParam));
  if (!child) return false;
  result = 0;
  if (message == WM_COMMAND) {
    child->OnNotify(HIWORD(wParam));
  } else if (message == WM_HSCROLL) {
    child->OnScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
  } else {
    HBRUSH brush = child->OnColour(reinterpret_cast<HDC>(wParam));
    if (!brush) return false;
    result = reinterpret_cast<LRESULT>(brush);
  }
  return true;
}

HBRUSH Control::OnColour(HDC) { return nullptr; }

HBRUSH Control::BackBrush() {
  const COLORREF colour = ResolveColour(BackColor());
  if (!backBrush_ || brushColour_ != colour) {
    backBrush_.reset(CreateSolidBrush(colour));
    brushColour_ = colour;
  }
  return static_cast<HBRUSH>(backBrush_.get());
}

void Control::InvalidateUnder() const {
  if (!hwnd_ || !parent_ || !form_->ShownSinceLoad()) return;
  RECT area;
  GetWindowRect(hwnd_, &area);
  MapWindowPoints(nullptr, parent_->ContainerWindow(), reinterpret_cast<POINT*>(&area), 2);
  InvalidateRect(parent_->ContainerWindow(), &area, TRUE);
}

void Control::Repaint(const RECT* area, bool erase) const {
  if (hwnd_ && form_->ShownSinceLoad()) InvalidateRect(hwnd_, area, erase);
}

void Control::Caption(const std::string& text) {
  caption_ = text;
  if (!hwnd_) return;
  SetWindowTextA(hwnd_, text.c_str());
  Repaint();
}

void Control::Move(int left, int top, int width, int height) {
  place_ = {left, top, width, height};
  if (!hwnd_) return;
  SetWindowPos(hwnd_, nullptr, TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
               TwipsToPixelsY(height), kNoZOrderChange);
}

void Control::Visible(bool visible) {
  visible_ = visible;
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void Control::Enabled(bool enabled) {
  enabled_ = enabled;
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

void Control::ForeColor(Colour colour) {
  foreColour_ = colour;
  Repaint();
}

void Control::BackColor(Colour colour) {
  backColour_ = colour;
  if (!hwnd_) return;
  InvalidateUnder();
  Repaint();
}

void Control::Font(const FontSpec& font) {
  font_ = font;
  ApplyFont();
}
void Control::FontName(const std::string& name) {
  font_.Name = name;
  ApplyFont();
}
void Control::FontSize(double points) {
  font_.Size = points;
  ApplyFont();
}
void Control::FontBold(bool bold) {
  font_.Bold = bold;
  ApplyFont();
}
void Control::FontItalic(bool italic) {
  font_.Italic = italic;
  ApplyFont();
}

void Control::ApplyFont() {
  if (!hwnd_) return;
  LOGFONTA logFont{};
  logFont.lfHeight = FontHeightPixels(font_.Size);
  logFont.lfWeight = font_.Bold ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = font_.Italic ? TRUE : FALSE;
  logFont.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(logFont.lfFaceName, font_.Name.c_str(), LF_FACESIZE);
  UniqueGdiObject font(CreateFontIndirectA(&logFont));
  if (!font) return;
  // The old font goes only after the window let go of it; the new one is ours already, so that
  // a label sizing itself to its text measures with it.
  const UniqueGdiObject previous = std::exchange(fontObject_, std::move(font));
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(fontObject_.get()), form_->ShownSinceLoad());
  InvalidateUnder();
}

void Control::RestyleWindow() {
  if (!hwnd_) return;
  const WindowClass cls = Class();
  LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED | WS_TABSTOP);
  style |= WS_CHILD | WS_CLIPSIBLINGS | cls.Style | ExtraStyle();
  SetWindowLongPtrA(hwnd_, GWL_STYLE, style);
  SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, cls.ExStyle | ExtraExStyle());
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | kNoZOrderChange | SWP_FRAMECHANGED);
  InvalidateUnder();
  Repaint();
}

void Control::SetFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

void Control::ZOrder() {
  if (hwnd_) SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::Refresh() {
  if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace koral::ui
