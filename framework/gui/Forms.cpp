#include "framework/gui/Forms.h"

#include "framework/base/Exception.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QMetaProperty>

namespace {

QAccessibleInterface* FormInterface(const QString& className, QObject* object)
{
    auto* form = qobject_cast<TForm*>(object);
    return form && className == TForm::staticMetaObject.className() ? new QAccessibleWidget(form, QAccessible::Window)
                                                                    : nullptr;
}

} // namespace

TForm::TForm(TComponent* Owner) : QWidget(Owner, Qt::Window)
{
    static const bool installed = (QAccessible::installFactory(FormInterface), true);
    (void)installed;
}

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

void TForm::NameControlsByCaptions()
{
    for (QLabel* caption : findChildren<QLabel*>())
        if (QWidget* control = caption->buddy(); control && control->accessibleName().isEmpty())
            control->setAccessibleName(caption->text().trimmed());
}

void TForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->property("align").toString() == "alRight")
            control->setGeometry(width() - control->width(), 0, control->width(), height());
}
