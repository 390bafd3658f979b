#include "framework/gui/Forms.h"

#include "framework/base/Exception.h"

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

void TForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->property("align").toString() == "alRight")
            control->setGeometry(width() - control->width(), 0, control->width(), height());
}
