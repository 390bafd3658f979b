#include "Application.h"

#include "FloatControl.h"
#include "Forms.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QMessageBox>

#include <new>
#include <utility>

namespace {

// The program's icon pictures, one per size, linked into the executable as Qt resources.
const char* const kIconFolder = ":/icons";

#ifndef Q_OS_WIN
// The forms are drawn in Tahoma. Debian's fonts-wine installs it outside fontconfig's paths.
const char* const kFontFiles[] = {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"};
#endif

// Last line of defence for an error that escapes event delivery somewhere other than a form's
// handler (the forms catch their handlers' errors before they reach Qt).
class QtApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            Application->HandleException(std::current_exception());
            return false;
        }
    }
};

TApplication instance;

} // namespace

TApplication* const Application = &instance;

void TApplication::Initialize()
{
    if (!QApplication::instance()) qtApplication_ = new QtApplication(argc_, argv_);
#ifndef Q_OS_WIN
    for (const char* file : kFontFiles)
        if (QFile::exists(file)) QFontDatabase::addApplicationFont(file);
#endif
    QIcon icon;
    for (const QString& name : QDir(kIconFolder).entryList(QDir::Files))
        icon.addFile(QString(kIconFolder) + '/' + name);
    if (!icon.isNull()) QApplication::setWindowIcon(icon);
    Reset8087CW();
}

void TApplication::Adopt(TForm* form)
{
    if (!mainForm_) mainForm_ = form;
    forms_.push_back(form);
}

void TApplication::Run()
{
    if (mainForm_) mainForm_->show();
    running_ = true;
    QApplication::exec();
    running_ = false;
    if (escaped_) std::rethrow_exception(std::exchange(escaped_, nullptr));
}

void TApplication::ShowException(const Exception& error)
{
    const QString text = error.Message.empty() ? QStringLiteral("Непредвиденная ошибка.")
                                               : QString::fromStdString(error.Message);
    QWidget* parent = QApplication::activeWindow();
    if (!parent && mainForm_ && mainForm_->isVisible()) parent = mainForm_;
    QMessageBox::critical(parent, QStringLiteral("Ошибка"), text);
}

void TApplication::HandleException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Exception& exception) {
        ShowException(exception);
    } catch (const std::bad_alloc&) {
        // Running out of memory is an error of the family like any other: the window survives it.
        ShowException(Exception("Недостаточно памяти."));
    } catch (...) {
        // Anything else ends the event loop and leaves Run. Outside Run nothing could catch it.
        if (!running_) std::terminate();
        if (!escaped_) escaped_ = error;
        QApplication::exit();
    }
}
