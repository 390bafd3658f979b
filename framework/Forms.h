#pragma once
// Forms: windows built from a form description (a Qt Designer .ui compiled by uic). Building one
// fills the form's published fields and binds its buttons to the form's event handlers by name:
//  - a published field is a property of the form class (Q_PROPERTY ... MEMBER), assigned the
//    component of the same name;
//  - a button named N runs the slot N + "Click";
//  - a control whose "align" property is "alRight" stays docked to the right edge, keeping its
//    width and filling the form's height; every other control keeps its place.
#include <QWidget>

using TObject = QObject;
using TComponent = QWidget;

class TForm : public QWidget {
    Q_OBJECT

public:
    // The owner, if any, destroys the form; the form is a window of its own all the same.
    explicit TForm(TComponent* Owner);

    // A new form that reads no description: an empty window. The integer is not used.
    TForm(TComponent* Owner, int Dummy);

protected:
    // Builds the window from its description (the uic-generated class), fills the published
    // fields and binds the handlers. Raises Exception when a field has no component.
    template <class Description>
    void Load()
    {
        Description description;
        description.setupUi(this);
        AssignPublishedFields();
        BindEventHandlers();
    }

    // Binds every button named N to the slot "N + Click(TObject*)" of the form, if there is one.
    void BindEventHandlers();

    void resizeEvent(QResizeEvent* event) override;

private:
    void AssignPublishedFields();
    void InvokeHandler(int methodIndex, TObject* sender);
};
