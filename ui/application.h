// One program's windows as a whole: which forms are loaded, which one is active, which is the main
// window that dialogs return to, and whether the program is ending. A program makes one in its
// main and hands it to every form by constructor; tests make one per fixture.
//
//   ui::Application app;
//   frmMain main(app);
//   app.MainForm(&main);
//   main.Show();
//   return app.Run();
#pragma once

#include <windows.h>

#include <vector>

namespace koral::ui {

class Form;

class Application {
 public:
  // The application outlives its forms.
  Application() = default;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Runs the message loop until the last form unloads or the program is ended; returns the exit
  // code.
  int Run();
  // Processes the messages waiting now. False once the program is ending.
  bool DoEvents();
  // Waits the given number of seconds of elapsed time (so a pause that spans midnight ends like
  // any other) while the program's windows stay served; ends early when the program is ending.
  void Pause(int seconds);
  // Ends the program at once: destroys every loaded form without its unload event and ends the
  // loop.
  void EndProgram();
  // True once EndProgram ran or the last form unloaded.
  bool Ending() const { return ending_; }

  // The program's main window, which dialogs copy and return to; null until the program names it.
  Form* MainForm() const { return mainForm_; }
  void MainForm(Form* form) { mainForm_ = form; }
  Form* ActiveForm() const { return activeForm_; }
  // The loaded form of this application whose window this is, or null.
  Form* FormOf(HWND window) const;

 private:
  friend class Form;
  void Loaded(Form& form);
  void Unloaded(Form& form);
  void Activated(Form& form) { activeForm_ = &form; }
  void Route(MSG& message) const;

  std::vector<Form*> loaded_;
  Form* activeForm_ = nullptr;
  Form* mainForm_ = nullptr;
  bool ending_ = false;
};

}  // namespace koral::ui
