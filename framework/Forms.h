#pragma once
// Forms: windows built from a form description (a Qt Designer .ui compiled by uic) whose buttons
// are bound to the form's event handlers by name: a button named N runs the slot N + "Click".
#include <QWidget>

using TObject = QObject;
using TComponent = QWidget;

class TForm : public QWidget {
    Q_OBJECT

public:
    // The owner, if any, destroys the form; the form is a window of its own all the same.
    explicit TForm(TComponent* Owner);

protected:
    // Builds the window from its description (the uic-generated class) and binds the handlers.
    template <class Description>
    void Load(Description& description)
    {
        description.setupUi(this);
        BindEventHandlers();
    }

    // Binds every button named N to the slot "N + Click(TObject*)" of the form, if there is one.
    void BindEventHandlers();

private:
    void InvokeHandler(int methodIndex, TObject* sender);
};
