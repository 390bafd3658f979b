#include "Forms.h"

#include "Application.h"
#include "Exception.h"

#include <QAbstractButton>
#include <QMetaMethod>
#include <QMetaProperty>

TForm::TForm(TComponent* Owner) : QWidget(Owner, Qt::Window) {}

TForm::TForm(TComponent* Owner, int /*Dummy*/) : TForm(Owner) {}

void TForm::AssignPublishedFields()
{
    const QMetaObject* form = metaObject();
    for (int i = staticMetaObject.propertyCount(); i < form->propertyCount(); ++i) {
        QMetaProperty field = form->property(i);
        QObject* component = findChild<QObject*>(field.name());
        if (!component || !field.write(this, QVariant::fromValue(component)))
            throw Exception(std::string("В описании формы нет компонента ") + field.name() + " типа " +
                            field.metaType().name() + ".");
    }
}

void TForm::BindEventHandlers()
{
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        const QByteArray handler = button->objectName().toUtf8() + "Click(TObject*)";
        const int methodIndex = metaObject()->indexOfMethod(handler.constData());
        if (methodIndex < 0) continue;
        connect(button, &QAbstractButton::clicked, this, [this, methodIndex, button] { InvokeHandler(methodIndex, button); });
    }
}

void TForm::InvokeHandler(int methodIndex, TObject* sender)
{
    // The error is caught here, before it could reach QtWidgets, which delivered the click and is
    // built without exception support; QtCore, which calls the handler, is built with it.
    try {
        metaObject()->method(methodIndex).invoke(this, Qt::DirectConnection, Q_ARG(TObject*, sender));
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}

void TForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->property("align").toString() == "alRight")
            control->setGeometry(width() - control->width(), 0, control->width(), height());
}
