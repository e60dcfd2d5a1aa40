// The kinds of control the suite's forms use.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/form.h"

namespace koral::ui {

enum class Alignment { Left, Centre, Right };
enum class BackStyle { Transparent, Opaque };
enum class BorderStyle { None, FixedSingle };

// A STATIC window; "&" marks an access key, "&&" shows one "&".
class Label : public Control {
 public:
  using Control::Control;
  ui::Alignment Alignment() const { return alignment_; }
  void Alignment(ui::Alignment alignment);
  ui::BackStyle BackStyle() const { return backStyle_; }
  void BackStyle(ui::BackStyle style);
  ui::BorderStyle BorderStyle() const { return border_; }
  void BorderStyle(ui::BorderStyle border);
  // Sizes the label to its text: the height only when it wraps, else both.
  void AutoSize(bool autoSize);
  void WordWrap(bool wrap);

 protected:
  WindowClass Class() const override;
  DWORD ExtraStyle() const override;
  void Created() override;
  void ResetState() override;
  void OnNotify(int code) override;
  HBRUSH OnColour(HDC dc) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void FitToText();
  ui::Alignment alignment_ = ui::Alignment::Left;
  ui::BackStyle backStyle_ = ui::BackStyle::Opaque;
  ui::BorderStyle border_ = ui::BorderStyle::None;
  bool autoSize_ = false;
  bool wordWrap_ = false;
};

// A push button. The form's default button answers Enter, its cancel button Esc.
class CommandButton : public Control {
 public:
  using Control::Control;
  bool Default() const;
  void Default(bool isDefault);
  bool Cancel() const;
  void Cancel(bool isCancel);
  // Clicks the button as the keyboard does: only when it is enabled.
  void Press();

 protected:
  WindowClass Class() const override;
  DWORD ExtraStyle() const override;
  void OnNotify(int code) override;
};

// Value 0 (unchecked) or 1 (checked). Click fires when the user toggles it and when code changes it.
class CheckBox : public Control {
 public:
  using Control::Control;
  int Value() const { return value_; }
  void Value(int value);

 protected:
  WindowClass Class() const override;
  void Created() override;
  void ResetState() override;
  void OnNotify(int code) override;
  HBRUSH OnColour(HDC dc) override;

 private:
  int value_ = 0;
};

// Options sharing a container form one group: selecting one clears the others. Click fires at
// every click by the user and when code selects an option that was not selected.
class OptionButton : public Control {
 public:
  using Control::Control;
  bool Value() const { return value_; }
  void Value(bool selected);

 protected:
  WindowClass Class() const override;
  void Created() override;
  void ResetState() override;
  void OnNotify(int code) override;
  HBRUSH OnColour(HDC dc) override;

 private:
  void Select();
  void SetState(bool selected);
  bool value_ = false;
};

// Change fires whenever the value has changed: by arrows, page clicks, the end of a thumb drag,
// or code. Scroll fires while the thumb is dragged; the value follows the thumb meanwhile.
// Thumb positions travel in 16-bit message fields, so ranges stay within -32768..32767.
class HScrollBar : public Control {
 public:
  using Control::Control;
  int Min() const { return min_; }
  int Max() const { return max_; }
  void Range(int min, int max);
  int SmallChange() const { return small_; }
  int LargeChange() const { return large_; }
  void Steps(int smallChange, int largeChange);
  int Value() const { return value_; }
  // Values outside Min..Max are brought to the nearer end.
  void Value(int value);

  Event Change;
  Event Scroll;

 protected:
  WindowClass Class() const override;
  void Created() override;
  void ResetState() override;
  void OnScroll(int code, int position) override;

 private:
  int Clamp(int value) const;
  void ShowValue();
  void Commit(int value);
  int min_ = 0;
  int max_ = 32767;
  int small_ = 1;
  int large_ = 1;
  int value_ = 0;
  int reported_ = 0;  // the value the last Change reported
};

enum class ComboStyle { DropdownCombo, DropdownList };

// Click fires when an item is chosen from the list and when code changes ListIndex.
class ComboBox : public Control {
 public:
  using Control::Control;
  ComboStyle Style() const { return style_; }
  void Style(ComboStyle style) { style_ = style; }
  void AddItem(const std::string& item);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  std::string List(int index) const;
  int ListIndex() const { return listIndex_; }
  // -1 clears the selection; other values outside the list change nothing.
  void ListIndex(int index);
  std::string Text() const;

 protected:
  WindowClass Class() const override;
  void Created() override;
  void ResetState() override;
  void OnNotify(int code) override;

 public:
  using Control::Move;
  void Move(int left, int top, int width, int height) override;

 private:
  ComboStyle style_ = ComboStyle::DropdownList;
  std::vector<std::string> items_;
  int listIndex_ = -1;
};

// A captioned group box holding other controls.
class Frame : public Control, public Container {
 public:
  using Control::Control;
  HWND ContainerWindow() const override { return hwnd(); }
  Form& ContainerForm() override { return OwnerForm(); }

 protected:
  WindowClass Class() const override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

enum class ScaleMode { Twips, Pixels };
enum class Align { None, Top, Bottom };

// A box holding other controls and a picture, with a persistent drawing surface: what is drawn
// stays until Cls. Drawing and mouse positions are in the box's scale mode.
class PictureBox : public Control, public Container {
 public:
  using Control::Control;
  HWND ContainerWindow() const override { return hwnd(); }
  Form& ContainerForm() override { return OwnerForm(); }

  ui::BorderStyle BorderStyle() const { return border_; }
  void BorderStyle(ui::BorderStyle border);
  ui::ScaleMode ScaleMode() const { return scaleMode_; }
  void ScaleMode(ui::ScaleMode mode) { scaleMode_ = mode; }
  // Aligned boxes span the form's width at its top or bottom edge.
  ui::Align Align() const { return align_; }
  void Align(ui::Align align);
  // The inner area in the scale mode.
  int ScaleWidth() const;
  int ScaleHeight() const;
  // The back colour also clears the drawing.
  using Control::BackColor;
  void BackColor(Colour colour) override;

  // Loads a bitmap file as the picture; false (picture unchanged) when it cannot be read.
  bool LoadPicture(const std::string& path);
  // Takes the bitmap as the picture; false (picture unchanged) when there is none.
  bool TakePicture(UniqueGdiObject picture);
  // Shows a copy of another box's picture.
  bool CopyPicture(const PictureBox& from);
  bool HasPicture() const { return static_cast<bool>(picture_); }
  HBITMAP Picture() const { return static_cast<HBITMAP>(picture_.get()); }
  // The picture's size in twips (0 without a picture).
  int PictureWidth() const;
  int PictureHeight() const;
  // Sizes the box to its picture (plus border).
  void AutoSize(bool autoSize);

  int DrawWidth() const { return drawWidth_; }
  void DrawWidth(int pixels) { drawWidth_ = pixels < 1 ? 1 : pixels; }
  int CurrentX() const { return currentX_; }
  int CurrentY() const { return currentY_; }
  void Cls();
  // Like Windows lines, the end point itself is not drawn.
  void Line(int x1, int y1, int x2, int y2, Colour colour);
  void LineTo(int x, int y, Colour colour);
  void PSet(int x, int y, Colour colour);
  // Rectangle outline with both corners included.
  void Box(int x1, int y1, int x2, int y2, Colour colour);
  // The colour at a point of the drawing; CLR_INVALID outside it.
  COLORREF Point(int x, int y) const;

  Event Resize;

 protected:
  WindowClass Class() const override;
  DWORD ExtraExStyle() const override;
  void Created() override;
  void ResetState() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  int ToUnitsX(int pixels) const override;
  int ToUnitsY(int pixels) const override;

 private:
  int PixelX(int units) const;
  int PixelY(int units) const;
  void FitSurface();
  void FitToPicture();
  template <typename Draw>
  void DrawOnSurface(const RECT& touched, Draw draw);
  ui::BorderStyle border_ = ui::BorderStyle::FixedSingle;
  ui::ScaleMode scaleMode_ = ui::ScaleMode::Twips;
  ui::Align align_ = ui::Align::None;
  bool autoSize_ = false;
  int drawWidth_ = 1;
  int currentX_ = 0;
  int currentY_ = 0;
  UniqueGdiObject picture_;
  UniqueGdiObject surface_;
  SIZE surfaceSize_{0, 0};
};

// A picture without a window border: an icon or a bitmap. It takes the picture's size.
class Image : public Control {
 public:
  using Control::Control;
  // The icon stays the caller's (shared icons such as ProgramIcon() are never destroyed).
  void Icon(HICON icon);
  bool LoadPicture(const std::string& path);

 protected:
  WindowClass Class() const override;
  void Created() override;
  void ResetState() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void FitToPicture();
  HICON icon_ = nullptr;
  UniqueGdiObject bitmap_;
};

// A rectangle drawn beneath the other controls; it takes no mouse input.
class Shape : public Control {
 public:
  using Control::Control;
  ui::BackStyle BackStyle() const { return backStyle_; }
  void BackStyle(ui::BackStyle style);
  Colour BorderColor() const { return borderColour_; }
  void BorderColor(Colour colour);
  int BorderWidth() const { return borderWidth_; }
  void BorderWidth(int pixels);

 protected:
  WindowClass Class() const override;
  void Created() override;
  void ResetState() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  Colour DefaultBackColor() const override { return kWhite; }

 private:
  ui::BackStyle backStyle_ = ui::BackStyle::Transparent;
  Colour borderColour_ = kWindowText;
  int borderWidth_ = 1;
};

// Controls of one kind sharing a name, indexed from a lower bound: optAcceleration(1..4).
// Its events carry the index of the element that raised them.
template <typename T>
class ControlArray {
 public:
  ControlArray(Form* form, const std::string& name, int lower, int upper) : lower_(lower) {
    for (int index = lower; index <= upper; ++index) {
      T& element = elements_.emplace_back(form, name, index);
      element.Click = [this, index] { if (Click) Click(index); };
      element.DblClick = [this, index] { if (DblClick) DblClick(index); };
      element.MouseDown = Forward(&ControlArray::MouseDown, index);
      element.MouseMove = Forward(&ControlArray::MouseMove, index);
      element.MouseUp = Forward(&ControlArray::MouseUp, index);
    }
  }
  ControlArray(const ControlArray&) = delete;
  ControlArray& operator=(const ControlArray&) = delete;

  T& operator()(int index) { return elements_.at(static_cast<size_t>(index - lower_)); }
  const T& operator()(int index) const { return elements_.at(static_cast<size_t>(index - lower_)); }
  int LBound() const { return lower_; }
  int UBound() const { return lower_ + static_cast<int>(elements_.size()) - 1; }
  auto begin() { return elements_.begin(); }
  auto end() { return elements_.end(); }

  std::function<void(int index)> Click;
  std::function<void(int index)> DblClick;
  std::function<void(int index, int button, int shift, int x, int y)> MouseDown;
  std::function<void(int index, int button, int shift, int x, int y)> MouseMove;
  std::function<void(int index, int button, int shift, int x, int y)> MouseUp;

 private:
  using IndexedMouse = std::function<void(int, int, int, int, int)>;
  MouseEvent Forward(IndexedMouse ControlArray::*event, int index) {
    return [this, event, index](int button, int shift, int x, int y) {
      if (this->*event) (this->*event)(index, button, shift, x, y);
    };
  }
  int lower_;
  std::deque<T> elements_;  // a deque never moves its elements, whose windows point at them
};

}  // namespace koral::ui
