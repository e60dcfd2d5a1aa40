// The base of every control of a form: a real child window that carries the control's designed
// name, with its position kept in designed twips and its properties and events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/win/handles.h"
#include "ui/colours.h"

namespace koral::ui {

class Form;
class Control;

// The COLORREF a colour of the forms stands for now.
COLORREF ResolveColour(Colour colour);

// Position and size in twips, relative to the container's inner area.
struct Rect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

struct FontSpec {
  std::string Name = "MS Sans Serif";
  double Size = 8.25;  // points
  bool Bold = false;
  bool Italic = false;
};

// Mouse event arguments: the button (1 left, 2 right, 4 middle; for a move, those held), the
// shift state (1 Shift, 2 Ctrl, 4 Alt) and the position in the control's units.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftMask : int { kShiftKey = 1, kCtrlKey = 2, kAltKey = 4 };
// The shift keys held now, as a ShiftMask.
int ShiftState();

using Event = std::function<void()>;
using MouseEvent = std::function<void(int button, int shift, int x, int y)>;
using KeyEvent = std::function<void(int ascii)>;

// What a control sits in: the form itself, a frame or a picture box.
class Container {
 public:
  virtual HWND ContainerWindow() const = 0;
  virtual Form& ContainerForm() = 0;

 protected:
  ~Container() = default;
};

class Control {
 public:
  static constexpr int kNoIndex = -1;

  Control(Form* form, std::string name, int index = kNoIndex);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Creates the control's window in the container with its designed place and caption. The
  // properties set before stay; a form creates its controls again at every load.
  bool Create(Container& in, const Rect& place, const std::string& caption = {});

  const std::string& Name() const { return name_; }
  int Index() const { return index_; }
  // "name" or "name(index)": the name the window carries.
  std::string WindowName() const;
  HWND hwnd() const { return hwnd_; }
  Form& OwnerForm() const { return *form_; }
  Container* Parent() const { return parent_; }
  // The control whose window this is; null for windows that are not controls of ours.
  static Control* FromWindow(HWND window);

  const std::string& Caption() const { return caption_; }
  void Caption(const std::string& text);

  int Left() const { return place_.Left; }
  int Top() const { return place_.Top; }
  int Width() const { return place_.Width; }
  int Height() const { return place_.Height; }
  void Left(int twips) { Move(twips, place_.Top); }
  void Top(int twips) { Move(place_.Left, twips); }
  void Width(int twips) { Move(place_.Left, place_.Top, twips, place_.Height); }
  void Height(int twips) { Move(place_.Left, place_.Top, place_.Width, twips); }
  void Move(int left, int top) { Move(left, top, place_.Width, place_.Height); }
  virtual void Move(int left, int top, int width, int height);

  bool Visible() const { return visible_; }
  void Visible(bool visible);
  bool Enabled() const { return enabled_; }
  void Enabled(bool enabled);

  Colour ForeColor() const { return foreColour_.value_or(DefaultForeColor()); }
  void ForeColor(Colour colour);
  Colour BackColor() const { return backColour_.value_or(DefaultBackColor()); }
  virtual void BackColor(Colour colour);

  const FontSpec& Font() const { return font_; }
  void Font(const FontSpec& font);
  void FontName(const std::string& name);
  void FontSize(double points);
  void FontBold(bool bold);
  void FontItalic(bool italic);

  void SetFocus();
  // Brings the control to the front of its siblings.
  void ZOrder();
  // Repaints the control at once.
  void Refresh();

  Event Click;
  Event DblClick;
  MouseEvent MouseDown;
  MouseEvent MouseMove;
  MouseEvent MouseUp;
  KeyEvent KeyPress;

 protected:
  struct WindowClass {
    const char* Name;
    DWORD Style;
    DWORD ExStyle = 0;
    bool Custom = false;  // one of our own classes (else a system control we subclass)
  };
  virtual WindowClass Class() const = 0;
  // Kind-specific work after the window exists (ranges, items, pictures).
  virtual void Created() {}
  // Kind-specific state back to its defaults when the window goes.
  virtual void ResetState() {}
  // A notification this control sent to its container (BN_CLICKED, CBN_SELCHANGE, ...).
  virtual void OnNotify(int code) { (void)code; }
  // A WM_HSCROLL this control sent to its container, with the thumb position it carries.
  virtual void OnScroll(int code, int position) { (void)code, (void)position; }
  // Colours for WM_CTLCOLOR*: null to leave the system's.
  virtual HBRUSH OnColour(HDC dc);
  // The control's own messages before the default handling; true when handled.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Pixel offsets inside the control to the units its mouse events report (twips by default).
  virtual int ToUnitsX(int pixels) const;
  virtual int ToUnitsY(int pixels) const;
  virtual Colour DefaultBackColor() const { return kButtonFace; }
  virtual Colour DefaultForeColor() const { return kButtonText; }
  // Style bits kept in the window alongside the kind's own (border, alignment).
  virtual DWORD ExtraStyle() const { return 0; }
  virtual DWORD ExtraExStyle() const { return 0; }
  void RestyleWindow();

  // Calls the event when the form is running (not while it is designed) and the event is set.
  template <typename E, typename... A>
  void Raise(const E& event, A... args) {
    if (event && EventsLive()) event(args...);
  }
  bool EventsLive() const;
  HBRUSH BackBrush();
  HFONT FontHandle() const { return static_cast<HFONT>(fontObject_.get()); }
  // Invalidates the container's area under this control (for controls drawn transparently).
  void InvalidateUnder() const;
  // Invalidates the control (or part of it) once its form has been shown; before that the
  // first showing paints it whole, and each call would only cost a trip to the window server.
  void Repaint(const RECT* area = nullptr, bool erase = true) const;
  LRESULT CallBase(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  friend class Form;
  friend LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);
  friend bool DispatchShared(UINT, WPARAM, LPARAM, LRESULT&);

  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void RaiseMouse(const MouseEvent& event, int button, WPARAM wParam, LPARAM lParam);
  void Attach(HWND window);
  void Detach();
  void ApplyFont();

  Form* form_;
  std::string name_;
  int index_;
  Container* parent_ = nullptr;
  HWND hwnd_ = nullptr;
  WNDPROC baseProc_ = nullptr;
  Rect place_;
  std::string caption_;
  bool visible_ = true;
  bool enabled_ = true;
  std::optional<Colour> foreColour_;
  std::optional<Colour> backColour_;
  FontSpec font_;
  UniqueGdiObject fontObject_;
  UniqueGdiObject backBrush_;
  COLORREF brushColour_ = CLR_INVALID;
};

// The window procedure of every control window (our classes and the subclassed system ones).
LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The first step of every window of ours, form or control, with a message: WM_COMMAND, WM_HSCROLL
// and WM_CTLCOLOR* from a child control go to that control, and the counted hourglass is the
// pointer over the window while one is requested. True when the message was answered here, with
// `result` the answer.
bool DispatchShared(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace koral::ui
