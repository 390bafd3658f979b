#pragma once
// The entry routine of the window program: bring up the application, create the main window,
// run the event loop until it is closed, and report an error that escapes any of them once.
// The process ends with status 0 on every path.
#include "Application.h"
#include "Exception.h"

template <class TMainForm>
int RunApplication(TMainForm*& mainForm)
{
    try {
        Application->Initialize();
        Application->MainFormOnTaskBar = true;
        Application->CreateForm(&mainForm);
        Application->Run();
    } catch (Exception& exception) {
        Application->ShowException(exception);
    } catch (...) {
        // Nothing of a foreign error reaches the user: it is reported as an Exception without text.
        try {
            throw Exception("");
        } catch (Exception& exception) {
            Application->ShowException(exception);
        }
    }
    return 0;
}
