// Qt's own texts follow the user's language, as in a native program. Run under ru_RU.UTF-8: the
// standard error box's button and the text boxes' context menus read as Qt's Russian catalogue
// writes them (it keeps the Latin "OK").
#include "framework/base/Exception.h"
#include "framework/gui/Application.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

QStringList ErrorBoxButtons()
{
    QStringList buttons;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&buttons] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            for (QAbstractButton* button : box->buttons()) buttons << button->text();
            box->accept();
        }
    });
    watcher.start(10);
    Application->ShowException(Exception("Ошибка."));
    return buttons;
}

// The entries of a standard context menu without their shortcuts.
QStringList MenuEntries(QMenu* menu)
{
    const std::unique_ptr<QMenu> owned(menu);
    QStringList entries;
    for (QAction* action : menu->actions())
        if (!action->isSeparator()) entries << action->text().section('\t', 0, 0);
    return entries;
}

const QStringList kEditMenu = {
    "&Отменить действие", "&Повторить действие", "&Вырезать", "&Копировать", "В&ставить", "Удалить", "Выделить всё"};

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application->Initialize(); }

    void qtTextsInUserLanguage_data()
    {
        QTest::addColumn<std::function<QStringList()>>("shown");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("error box") << std::function(ErrorBoxButtons) << QStringList{"OK"};
        QTest::newRow("one-line box menu") << std::function([] {
            QLineEdit line;
            return MenuEntries(line.createStandardContextMenu());
        }) << kEditMenu;
        QTest::newRow("memo menu") << std::function([] {
            QPlainTextEdit memo;
            return MenuEntries(memo.createStandardContextMenu());
        }) << kEditMenu;
    }

    void qtTextsInUserLanguage()
    {
        QFETCH(std::function<QStringList()>, shown);
        QFETCH(QStringList, expected);
        QCOMPARE(shown(), expected);
    }
};

QTEST_MAIN(ApplicationTest)
#include "ApplicationTest.moc"
