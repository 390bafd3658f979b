#pragma once
// Forms: windows built from a form description (a Qt Designer .ui compiled by uic). The
// description's connections bind the controls' events to the form's handlers by name (BitBtn1's
// OnClick to the slot BitBtn1Click); building the form also fills its published fields:
//  - a published field is a property of the form class (Q_PROPERTY ... MEMBER), assigned the
//    component of the same name;
//  - a screen reader meets the form as a window (a frame), and a box by its caption's text;
//  - a control whose "align" property is "alRight" stays docked to the right edge, keeping its
//    width and filling the form's height; every other control keeps its place.
#include <QWidget>

using TComponent = QWidget;

class TForm : public QWidget {
    Q_OBJECT

public:
    // The owner, if any, destroys the form; the form is a window of its own all the same.
    explicit TForm(TComponent* Owner);

    // A new form that reads no description: an empty window. The integer is not used.
    TForm(TComponent* Owner, int Dummy);

protected:
    // Builds the window from its description (the uic-generated class), which binds the handlers,
    // and fills the published fields. Raises Exception when a field has no component.
    template <class Description>
    void Load()
    {
        Description description;
        description.setupUi(this);
        AssignPublishedFields();
        NameControlsByCaptions();
    }

    void resizeEvent(QResizeEvent* event) override;

private:
    void AssignPublishedFields();
    // A caption's buddy is named by the caption without its surrounding blanks ("a = " names its
    // box "a ="), unless the description names it otherwise.
    void NameControlsByCaptions();
};
