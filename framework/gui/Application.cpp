#include "framework/gui/Application.h"

#include "framework/base/Conversions.h"
#include "framework/gui/Forms.h"
#include "os/Desktop.h"
#include "os/FloatControl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

// The program's icon pictures, one per size, linked into the executable as Qt resources.
const char* const kIconFolder = ":/icons";

// Said wherever a window cannot be opened for want of a display.
const char* const kUseTheCommandLine = "; rootfinder-cli работает и без дисплея.";

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Where windows go through a display server, a window needs an X or Wayland display named in the
// environment, unless a Qt platform (offscreen, for one) is chosen explicitly.
void CheckDisplay()
{
    if (!UsesDisplayServer()) return;
    if (!EnvironmentValue("QT_QPA_PLATFORM").empty()) return;
    if (!EnvironmentValue("DISPLAY").empty() || !EnvironmentValue("WAYLAND_DISPLAY").empty()) return;
    throw EDisplayMissing(std::string("нет дисплея: не заданы DISPLAY и WAYLAND_DISPLAY") + kUseTheCommandLine);
}

// Qt ends the process (abort, core dump) when no platform plugin starts, for instance when the
// display server named in DISPLAY cannot be reached. While Qt's application object is being created its
// messages are held back; a fatal one is replaced by one line of ours and a plain exit with status
// 1, since Qt cannot carry on and nothing can be unwound from inside its message handler.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
std::vector<HeldMessage> heldMessages;

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, context.file, context.function, context.category, context.line, message});
        return;
    }
    const std::string display =
        EnvironmentValue("WAYLAND_DISPLAY").empty() ? EnvironmentValue("DISPLAY") : EnvironmentValue("WAYLAND_DISPLAY");
    const std::string what = display.empty() ? "дисплей" : "дисплей " + QuoteForMessage(display);
    std::fprintf(stderr, "rootfinder: не удалось открыть %s%s\n", what.c_str(), kUseTheCommandLine);
    std::fflush(stderr);
    std::_Exit(1);
}

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

// Qt's application object is reached through qApp from then on.
void CreateQtApplication(int& argc, char** argv)
{
    if (!UsesDisplayServer()) {
        new QtApplication(argc, argv);
        return;
    }
    const QtMessageHandler previousHandler = qInstallMessageHandler(HoldStartupMessage);
    new QtApplication(argc, argv);
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& held : std::exchange(heldMessages, {})) {
        const QMessageLogContext context(held.file.constData(), held.line, held.function.constData(),
                                         held.category.constData());
        qt_message_output(held.type, context, held.text);
    }
}

// Qt's own texts (standard buttons, context menus) in the user's language, as a native program
// shows them; the program's own texts are Russian whatever the language.
void LoadQtTranslations()
{
    static QTranslator* translator = nullptr;
    if (translator) return;
    translator = new QTranslator(qApp);
    if (translator->load(QLocale::system(), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

} // namespace

TApplication* const Application = &instance;

void TApplication::Initialize()
{
    if (!QApplication::instance()) {
        CheckDisplay();
        CreateQtApplication(argc_, argv_);
        // Numbers are written with the user's decimal separator, as the command line's are;
        // Qt takes the user's locale into the C library only on Unix.
        std::setlocale(LC_ALL, "");
    }
    LoadQtTranslations();
    // The forms are drawn in Tahoma.
    for (const char* file : ExtraFontFiles())
        if (QFile::exists(file)) QFontDatabase::addApplicationFont(file);
    QIcon icon;
    for (const QString& name : QDir(kIconFolder).entryList(QDir::Files))
        icon.addFile(QString(kIconFolder) + '/' + name);
    if (!icon.isNull()) QApplication::setWindowIcon(icon);
    ResetFloatControl();
}

void TApplication::Adopt(TForm* form)
{
    if (!mainForm_) mainForm_ = form;
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
    const QString text =
        error.Message.empty() ? QStringLiteral("Непредвиденная ошибка.") : QString::fromStdString(error.Message);
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
