#include "ui/form.h"

#include <algorithm>
#include <utility>

#include "common/core/titles.h"
#include "ui/controls.h"
#include "ui/names.h"
#include "ui/twips.h"

namespace koral::ui {
namespace {

constexpr const char* kFormClass = kFormWindowClass;
// Posted to a form when it becomes the program's active form, so that Form_Activate runs after
// the activation (and Show) has finished rather than inside it.
constexpr UINT kActivateMessage = WM_APP + 0x10;

// The class is the process's, registered once; its atom tells a form's window from any other.
ATOM FormClass() {
  static const ATOM atom = [] {
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = FormProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hIcon = ProgramIcon();
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = kFormClass;
    return RegisterClassExA(&cls);
  }();
  return atom;
}

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

int PressedButton(UINT message) {
  if (message == WM_LBUTTONDOWN) return kLeftButton;
  return message == WM_RBUTTONDOWN ? kRightButton : kMiddleButton;
}

}  // namespace

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form && message == WM_NCCREATE) {
    form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    form->hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  if (!form) return DefWindowProcA(window, message, wParam, lParam);
  return form->Dispatch(message, wParam, lParam);
}

HICON ProgramIcon() {
  static const HICON icon = [] {
    HICON own = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    return own ? own : LoadIconA(nullptr, IDI_APPLICATION);
  }();
  return icon;
}

Form::Form(Application& app, std::string name) : app_(app), name_(std::move(name)) {}

Form::~Form() { Destroy(); }

Form* Form::FromWindow(HWND window) {
  if (!window || GetClassLongPtrA(window, GCW_ATOM) != FormClass()) return nullptr;
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return form && form->hwnd_ == window ? form : nullptr;
}

DWORD Form::WindowStyle() const {
  const DWORD minimize = minButton_ ? WS_MINIMIZEBOX : 0;
  switch (border_) {
    case FormBorder::None:
      return WS_POPUP;
    case FormBorder::FixedSingle:
      return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | minimize;
    case FormBorder::FixedDialog:
      return WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    case FormBorder::FixedToolWindow:
      return WS_POPUP | WS_CAPTION | WS_SYSMENU;
    case FormBorder::Thin:
      return WS_POPUP | WS_BORDER;
    case FormBorder::Sizable:
      break;
  }
  return WS_OVERLAPPEDWINDOW;
}

DWORD Form::WindowExStyle() const {
  DWORD ex = WS_EX_CONTROLPARENT;
  if (border_ == FormBorder::FixedDialog) ex |= WS_EX_DLGMODALFRAME;
  if (border_ == FormBorder::FixedToolWindow || border_ == FormBorder::Thin) ex |= WS_EX_TOOLWINDOW;
  return ex;
}

bool Form::CreateFormWindow() {
  if (FormClass() == 0) return false;
  CreateWindowExA(WindowExStyle(), kFormClass, caption_.c_str(), WindowStyle(), 0, 0, 0, 0, nullptr,
                  nullptr, GetModuleHandleA(nullptr), this);
  if (!hwnd_) return false;
  AttachName(hwnd_, name_);
  return true;
}

bool Form::Load() {
  if (hwnd_) return true;
  if (!CreateFormWindow()) return false;
  app_.Loaded(*this);
  designing_ = true;
  Design();
  designing_ = false;
  for (HWND container : std::exchange(shapeContainers_, {})) KeepShapesBeneath(container);
  Form_Load();
  return hwnd_ != nullptr;
}

void Form::Show() {
  if (!Load()) return;
  const bool first = !shownSinceLoad_;
  shownSinceLoad_ = true;
  resized_ = false;
  if (first && state_ == WindowState::Maximized && border_ == FormBorder::None) {
    const HMONITOR monitor = MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{sizeof info, {}, {}, 0};
    GetMonitorInfoA(monitor, &info);
    const RECT& r = info.rcMonitor;
    SetWindowPos(hwnd_, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
  }
  const bool maximise = state_ == WindowState::Maximized && border_ != FormBorder::None;
  ShowWindow(hwnd_, maximise ? SW_SHOWMAXIMIZED : SW_SHOW);
  if (!hwnd_) return;
  SetForegroundWindow(hwnd_);
  if (first && !resized_) RaiseResize();
}

void Form::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

bool Form::Unload() {
  if (!hwnd_) return true;
  bool cancel = false;
  Form_Unload(cancel);
  if (cancel) return false;
  Destroy();
  return true;
}

void Form::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Form::Detached() {
  DetachName(hwnd_);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  shownSinceLoad_ = false;
  caption_.clear();
  border_ = FormBorder::Sizable;
  minButton_ = true;
  state_ = WindowState::Normal;
  backColour_ = kButtonFace;
  keysToForm_ = false;
  backBrush_.reset();
  default_ = nullptr;
  cancel_ = nullptr;
  nextControlId_ = 100;
  app_.Unloaded(*this);
}

LRESULT Form::DefaultId() const {
  // Enter clicks the push button that has the focus, or else the default button.
  const HWND focus = GetFocus();
  auto* target = dynamic_cast<CommandButton*>(Control::FromWindow(focus));
  if (!target || &target->OwnerForm() != this) target = default_;
  if (!target || !target->hwnd()) return 0;
  return MAKELRESULT(GetDlgCtrlID(target->hwnd()), DC_HASDEFID);
}

LRESULT Form::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = hwnd_;
  LRESULT result = 0;
  if (message != WM_NCDESTROY && Form_Message(message, wParam, lParam, result)) return result;
  if (DispatchShared(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(window, &area);
      if (!backBrush_) backBrush_.reset(CreateSolidBrush(ResolveColour(backColour_)));
      FillRect(reinterpret_cast<HDC>(wParam), &area, static_cast<HBRUSH>(backBrush_.get()));
      return 1;
    }
    case DM_GETDEFID:
      return DefaultId();
    case WM_GETDLGCODE:
      if (keysToForm_) return DLGC_WANTALLKEYS;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      Form_KeyDown(static_cast<int>(wParam), ShiftState());
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      Form_MouseDown(PressedButton(message), ShiftState(), PixelsToTwipsX(static_cast<short>(LOWORD(lParam))),
                     PixelsToTwipsY(static_cast<short>(HIWORD(lParam))));
      break;
    case WM_COMMAND:
      // Esc in a form: the dialog manager asks for IDCANCEL.
      if (lParam == 0 && LOWORD(wParam) == IDCANCEL && cancel_) cancel_->Press();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && app_.ActiveForm() != this) {
        app_.Activated(*this);
        PostMessageA(window, kActivateMessage, 0, 0);
      }
      break;
    case kActivateMessage:
      if (IsWindowVisible(window)) Form_Activate();
      return 0;
    case WM_SIZE:
      AlignPictures();
      if (shownSinceLoad_ && !designing_) RaiseResize();
      break;
    case WM_CLOSE:
      Unload();
      return 0;
    case WM_NCDESTROY:
      Detached();
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void Form::RaiseResize() {
  resized_ = true;
  Form_Resize();
}

void Form::AlignPictures() {
  for (Control* control : controls_) {
    auto* picture = dynamic_cast<PictureBox*>(control);
    if (!picture || !picture->hwnd() || picture->Parent() != this) continue;
    if (picture->Align() == Align::Top) picture->Move(0, 0, ScaleWidth(), picture->Height());
    if (picture->Align() == Align::Bottom)
      picture->Move(0, ScaleHeight() - picture->Height(), ScaleWidth(), picture->Height());
  }
}

void Form::KeepShapesBeneath(HWND container) {
  // While the form is laid out, once per container at the end: each control created would
  // otherwise move every shape before it again.
  if (designing_) {
    if (std::find(shapeContainers_.begin(), shapeContainers_.end(), container) == shapeContainers_.end())
      shapeContainers_.push_back(container);
    return;
  }
  for (Control* control : controls_) {
    if (control->hwnd() && dynamic_cast<Shape*>(control) && GetParent(control->hwnd()) == container)
      SetWindowPos(control->hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Form::Caption(const std::string& text) {
  caption_ = text;
  if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
}

int Form::Left() const { return hwnd_ ? PixelsToTwipsX(WindowRect(hwnd_).left) : 0; }
int Form::Top() const { return hwnd_ ? PixelsToTwipsY(WindowRect(hwnd_).top) : 0; }
int Form::Width() const {
  if (!hwnd_) return 0;
  const RECT r = WindowRect(hwnd_);
  return PixelsToTwipsX(r.right - r.left);
}
int Form::Height() const {
  if (!hwnd_) return 0;
  const RECT r = WindowRect(hwnd_);
  return PixelsToTwipsY(r.bottom - r.top);
}

void Form::Width(int twips) {
  if (hwnd_)
    SetWindowPos(hwnd_, nullptr, 0, 0, TwipsToPixelsX(twips), TwipsToPixelsY(Height()),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Height(int twips) {
  if (hwnd_)
    SetWindowPos(hwnd_, nullptr, 0, 0, TwipsToPixelsX(Width()), TwipsToPixelsY(twips),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Move(int left, int top) {
  if (hwnd_)
    SetWindowPos(hwnd_, nullptr, TwipsToPixelsX(left), TwipsToPixelsY(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form::ScaleWidth() const {
  RECT r{};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return PixelsToTwipsX(r.right);
}

int Form::ScaleHeight() const {
  RECT r{};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return PixelsToTwipsY(r.bottom);
}

void Form::ClientSize(int width, int height) {
  if (!hwnd_) return;
  RECT r{0, 0, TwipsToPixelsX(width), TwipsToPixelsY(height)};
  AdjustWindowRectEx(&r, WindowStyle(), FALSE, WindowExStyle());
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::BorderStyle(FormBorder border) {
  const int width = ScaleWidth();
  const int height = ScaleHeight();
  border_ = border;
  if (!hwnd_) return;
  const LONG_PTR visible = GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE;
  SetWindowLongPtrA(hwnd_, GWL_STYLE, WindowStyle() | visible);
  SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, WindowExStyle());
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ClientSize(width, height);
}

void Form::MinButton(bool shown) {
  minButton_ = shown;
  BorderStyle(border_);
}

void Form::State(WindowState state) {
  state_ = state;
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
  ShowWindow(hwnd_, state == WindowState::Maximized ? SW_MAXIMIZE : SW_RESTORE);
}

void Form::BackColor(Colour colour) {
  backColour_ = colour;
  backBrush_.reset();
  if (hwnd_ && shownSinceLoad_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::SetFocus() {
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
}

void Form::Refresh() {
  if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Form::DefaultButton(CommandButton* button, bool isDefault) {
  if (isDefault) {
    default_ = button;
  } else if (default_ == button) {
    default_ = nullptr;
  }
}

void Form::CancelButton(CommandButton* button, bool isCancel) {
  if (isCancel) {
    cancel_ = button;
  } else if (cancel_ == button) {
    cancel_ = nullptr;
  }
}

}  // namespace koral::ui
