#pragma once

#include <string>

// The progress sink of device transfers. A transfer calls Begin once, then SetPosition and SetPatch as it
// goes, asks IsCancelled before each step, and calls End. Begin/End pairs may nest. Progress is reported as
// data: the sink makes its own text of it (in the interface language, or for a terminal).
class CKivProgressBar {
  public:
    virtual ~CKivProgressBar() = default;

    virtual void Begin(int range, const std::string& caption, bool cancellable) = 0;
    virtual void End() = 0;
    virtual void SetPosition(int position) { position_ = position; }
    // The patch the transfer is at: its area code (user patches or the temporary patch) and number.
    virtual void SetPatch(int area, int number) {
        area_ = area;
        number_ = number;
    }
    virtual bool IsCancelled() { return false; }
    virtual void SetRange(int /*range*/) {}

    int GetRange() const { return range_; }
    int GetPosition() const { return position_; }
    int GetArea() const { return area_; }
    int GetPatchNumber() const { return number_; }
    bool IsCancellable() const { return cancellable_; }

  protected:
    int range_ = 100;
    int position_ = 0;
    int area_ = -1;
    int number_ = -1;
    bool cancellable_ = false;
};
