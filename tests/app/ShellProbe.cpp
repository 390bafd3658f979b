// Runs the program's entry routine over the main form named by SHELL_PROBE_FORM and prints what
// the user would see: "shown" when the main window appears, "box: TEXT" for every error box (each
// is closed at once) and "closed" when the main window closes. The arguments are passed on.
#include "framework/base/Exception.h"
#include "framework/gui/Application.h"
#include "framework/gui/Shell.h"
#include "ui/MainForm.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

void Print(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void WatchErrorBoxes()
{
    static auto* watcher = new QTimer(qApp);
    QObject::connect(watcher, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Print("box: " + box->text());
            box->accept();
        }
    });
    watcher->start(10);
}

// The real main window, closed by the user as soon as it is shown.
class ClosingMainForm : public TForm1 {
public:
    explicit ClosingMainForm(TComponent* Owner) : TForm1(Owner) { WatchErrorBoxes(); }

protected:
    void showEvent(QShowEvent*) override
    {
        Print("shown on " + QGuiApplication::platformName() +
              (QGuiApplication::isRightToLeft() ? " right to left" : " left to right"));
        QTimer::singleShot(0, this, &QWidget::close);
    }
    void closeEvent(QCloseEvent*) override { Print("closed"); }
};

class FailingForm : public TForm {
public:
    explicit FailingForm(TComponent* Owner) : TForm(Owner)
    {
        WatchErrorBoxes();
        throw Exception("Окно не создано.");
    }
    void showEvent(QShowEvent*) override { Print("shown"); }
};

// A form whose button, pressed once the window is shown, raises what SHELL_PROBE_ERROR names;
// the window is closed a moment later unless the error has ended the event loop.
class RaisingForm : public TForm {
    Q_OBJECT

public:
    explicit RaisingForm(TComponent* Owner) : TForm(Owner)
    {
        WatchErrorBoxes();
        auto* button = new TBitBtn(this);
        button->setObjectName("Button1");
        connect(button, &TBitBtn::OnClick, this, &RaisingForm::Button1Click);
    }

public slots:
    void Button1Click(TObject*)
    {
        const std::string error = Environment("SHELL_PROBE_ERROR");
        if (error == "exception") throw Exception("Ошибка в обработчике.");
        if (error == "bad_alloc") throw std::bad_alloc();
        throw std::runtime_error("внутренняя подробность");
    }

protected:
    void showEvent(QShowEvent*) override
    {
        Print("shown");
        QTimer::singleShot(0, findChild<QPushButton*>("Button1"), &QPushButton::click);
        QTimer::singleShot(1000, this, &QWidget::close);
    }
    void closeEvent(QCloseEvent*) override { Print("closed"); }
};

template <class FormClass>
int Probe()
{
    FormClass* form = nullptr;
    return RunApplication(form);
}

} // namespace

int main()
{
    const std::string form = Environment("SHELL_PROBE_FORM");
    if (form == "main") return Probe<ClosingMainForm>();
    if (form == "failing") return Probe<FailingForm>();
    if (form == "raising") return Probe<RaisingForm>();
    return 2;
}

#include "ShellProbe.moc"
