#pragma once
// Closes the error boxes that an action opens, as a user would, and collects their texts.
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <functional>

inline QStringList CloseErrorBoxesDuring(const std::function<void()>& action)
{
    QStringList texts;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&texts] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts << box->text();
            box->accept();
        }
    });
    watcher.start(10);
    action();
    return texts;
}
