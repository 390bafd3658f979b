#pragma once
// The application object: brings up Qt, owns the forms, runs the event loop and shows the
// errors that escape event handlers in the standard error box.
#include "framework/base/Exception.h"

#include <exception>

class TForm;

// Raised by Initialize when the window has nowhere to appear: no display to connect to.
class EDisplayMissing : public Exception {
public:
    using Exception::Exception;
};

// The application and its forms live until the process ends: by the time static objects are
// destroyed, Qt's own globals are gone and Qt's application object can no longer be destroyed.
class TApplication {
public:
    TApplication() = default;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Creates Qt's application object unless one exists, loads Qt's translations for the user's
    // language, registers the fonts the forms use and applies the floating-point setting. The
    // command line is never handed to Qt. Raises EDisplayMissing when no display is named; when
    // the named one cannot be opened, says so on stderr and ends the process with status 1.
    void Initialize();

    // Qt gives every top-level window its own taskbar button, so this is only recorded.
    bool MainFormOnTaskBar = false;

    // Builds a FormClass owned by the application and stores it in *reference. The first form
    // created is the main form. A form whose construction fails is never shown.
    template <class FormClass>
    void CreateForm(FormClass** reference)
    {
        *reference = new FormClass(nullptr);
        Adopt(*reference);
    }

    // Shows the main form and runs the event loop until it is closed. An Exception raised by an
    // event handler is shown and the loop goes on; any other error ends the loop and leaves Run.
    void Run();

    // Shows the error's message in the standard error box; returns when the user dismisses it.
    void ShowException(const Exception& error);

    // Where the forms hand an error that escaped one of their event handlers.
    void HandleException(std::exception_ptr error);

private:
    void Adopt(TForm* form);

    // Qt keeps references to argc and argv for the application's lifetime.
    int argc_ = 1;
    char programName_[11] = "rootfinder";
    char* argv_[2] = {programName_, nullptr};
    TForm* mainForm_ = nullptr;
    bool running_ = false;
    std::exception_ptr escaped_; // an error that ends Run, raised again when the loop has returned
};

extern TApplication* const Application;
