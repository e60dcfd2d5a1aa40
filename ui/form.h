// A form: a top-level window whose members are its controls. A form class lays its controls out
// in Design() with the designed names, places and properties, binds their events to handlers
// named control_Event in its constructor, and overrides the Form_ events it needs:
//
//   class frmExample : public ui::Form {
//    public:
//     explicit frmExample(ui::Application& app) : Form(app, "frmExample") {
//       cmdOK.Click = Handler(&frmExample::cmdOK_Click);
//     }
//    private:
//     void Design() override { ClientSize(3000, 2000); cmdOK.Create(*this, {120, 120, 975, 435}, "&OK"); }
//     void cmdOK_Click() { Unload(); }
//     ui::CommandButton cmdOK{this, "cmdOK"};
//   };
//
// Loading creates the window and every control afresh with its designed properties, so a form
// shown again starts as designed. Events do not fire while Design() runs. A form belongs to one
// Application (application.h), which keeps the program's loaded forms and its message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win/handles.h"
#include "ui/application.h"
#include "ui/control.h"

namespace koral::ui {

class CommandButton;

// Thin: a one-pixel line and no title bar, kept out of the taskbar (a small helper window that
// stays on the screen, such as a corner button).
enum class FormBorder { None, FixedSingle, Sizable, FixedDialog, FixedToolWindow, Thin };
enum class WindowState { Normal, Maximized };

class Form : public Container {
 public:
  Form(Application& app, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  HWND hwnd() const { return hwnd_; }
  Application& App() const { return app_; }
  // The form whose window this is (of any application), or null.
  static Form* FromWindow(HWND window);

  // Creates the window and controls (hidden) and runs Form_Load; true when the form is loaded
  // afterwards (Form_Load may unload it or end the program).
  bool Load();
  bool Loaded() const { return hwnd_ != nullptr; }
  // Loads when needed, then shows the form modeless and activates it.
  void Show();
  void Hide();
  // Runs Form_Unload, which may cancel; then destroys the window. True when unloaded.
  bool Unload();
  bool Visible() const;

  std::string Caption() const { return caption_; }
  void Caption(const std::string& text);

  // The outer window in twips.
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void Left(int twips) { Move(twips, Top()); }
  void Top(int twips) { Move(Left(), twips); }
  void Width(int twips);
  void Height(int twips);
  void Move(int left, int top);
  // The inner (client) area in twips.
  int ScaleWidth() const;
  int ScaleHeight() const;
  void ClientSize(int width, int height);

  FormBorder BorderStyle() const { return border_; }
  // Keeps the inner size; set it before ClientSize in Design().
  void BorderStyle(FormBorder border);
  void MinButton(bool shown);
  // A borderless maximised form covers the whole screen.
  void State(WindowState state);
  Colour BackColor() const { return backColour_; }
  void BackColor(Colour colour);
  // While the form's own window has the focus, every key goes to Form_KeyDown, Enter, Esc and
  // Tab included, instead of working the default and cancel buttons and the tab order.
  void KeysToForm(bool keys) { keysToForm_ = keys; }

  void SetFocus();
  void Refresh();

  HWND ContainerWindow() const override { return hwnd_; }
  Form& ContainerForm() override { return *this; }

  // For the controls of this form.
  void Register(Control* control) { controls_.push_back(control); }
  const std::vector<Control*>& Controls() const { return controls_; }
  int NextControlId() { return nextControlId_++; }
  bool Designing() const { return designing_; }
  // Whether the window has been shown since it was loaded: until then nothing of it is on the
  // screen and its first showing paints everything, so controls need not ask for repaints.
  bool ShownSinceLoad() const { return shownSinceLoad_; }
  void DefaultButton(CommandButton* button, bool isDefault);
  void CancelButton(CommandButton* button, bool isCancel);
  CommandButton* DefaultButton() const { return default_; }
  CommandButton* CancelButton() const { return cancel_; }
  // Keeps shapes beneath the other controls of the container they share.
  void KeepShapesBeneath(HWND container);
  // Lays aligned picture boxes along the form's top and bottom edges.
  void AlignPictures();

 protected:
  virtual void Design() = 0;
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Resize() {}
  virtual void Form_Unload(bool& cancel) { (void)cancel; }
  // A key pressed (its virtual-key code) and a mouse button pressed on the form's own window,
  // not on one of its controls; shift and button as for controls (control.h), x and y in twips.
  virtual void Form_KeyDown(int keyCode, int shift) { (void)keyCode, (void)shift; }
  virtual void Form_MouseDown(int button, int shift, int x, int y) { (void)button, (void)shift, (void)x, (void)y; }
  // Every message of the form's own window comes here first; a form that answers one itself
  // (a message other programs send it, say) returns true with `result` its answer.
  virtual bool Form_Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    (void)message, (void)wParam, (void)lParam, (void)result;
    return false;
  }

  // A member function of the form as an event handler: cmdOK.Click = Handler(&frmX::cmdOK_Click).
  template <typename F, typename... A>
  std::function<void(A...)> Handler(void (F::*handler)(A...)) {
    F* self = static_cast<F*>(this);
    return [self, handler](A... args) { (self->*handler)(args...); };
  }

 private:
  friend LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  friend class Application;

  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateFormWindow();
  void Destroy();
  void Detached();
  void RaiseResize();
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;
  LRESULT DefaultId() const;

  Application& app_;
  std::string name_;
  HWND hwnd_ = nullptr;
  std::vector<Control*> controls_;
  std::vector<HWND> shapeContainers_;  // to keep shapes beneath in once Design() is done
  int nextControlId_ = 100;
  bool designing_ = false;
  bool shownSinceLoad_ = false;
  bool resized_ = false;
  std::string caption_;
  FormBorder border_ = FormBorder::Sizable;
  bool minButton_ = true;
  WindowState state_ = WindowState::Normal;
  Colour backColour_ = kButtonFace;
  bool keysToForm_ = false;
  UniqueGdiObject backBrush_;
  CommandButton* default_ = nullptr;
  CommandButton* cancel_ = nullptr;
};

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The program's icon: resource 1 of the executable, or the system's application icon.
HICON ProgramIcon();

}  // namespace koral::ui
