#pragma once
// The entry routine of the window program: bring up the application, create the main window,
// run the event loop until it is closed, and report an error that escapes any of them once.
// The process ends with status 0 on every path but one: with no display the window cannot
// appear, which is said in one line on stderr and ends the process with status 1.
#include "framework/base/Exception.h"
#include "framework/gui/Application.h"

#include <cstdio>

template <class TMainForm>
int RunApplication(TMainForm*& mainForm)
{
    try {
        Application->Initialize();
        Application->MainFormOnTaskBar = true;
        Application->CreateForm(&mainForm);
        Application->Run();
    } catch (EDisplayMissing& missing) {
        std::fprintf(stderr, "rootfinder: %s\n", missing.Message.c_str());
        return 1;
    } catch (Exception& exception) {
        Application->ShowException(exception);
    } catch (...) {
        // Nothing of a foreign error reaches the user: it is reported as an Exception without text.
        Application->ShowException(Exception(""));
    }
    return 0;
}
