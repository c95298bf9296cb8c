#pragma once

// Helpers for widget tests that need the real event loop: a program ends by
// leaving it, and a modal message box runs inside it.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

// Shows `window` and makes it the active window, as a user's click would;
// false if it never became active.
inline bool showAndActivate(QWidget &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

// The status the loop ended with, or kLoopTimedOut when it had to be stopped.
inline constexpr int kLoopTimedOut = -999;

// Starts the event loop, runs `action` from inside it and returns the loop's
// exit status once something ends it.
inline int runEventLoop(const std::function<void()> &action, int timeoutMs = 10000)
{
    QTimer::singleShot(0, action);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(kLoopTimedOut); });
    guard.start(timeoutMs);
    return QApplication::exec();
}

// Watches for message boxes while the loop runs, records their texts and
// dismisses each one the way a user would.
// While one exists, a box is expected: the test main fails a test only for
// a box that opens with no watcher (kWatchedProperty counts them on qApp).
inline constexpr char kWatchedProperty[] = "vantrelTestBoxesWatched";

class MessageBoxWatcher
{
public:
    MessageBoxWatcher()
    {
        qApp->setProperty(kWatchedProperty, qApp->property(kWatchedProperty).toInt() + 1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { dismissVisibleBoxes(); });
        timer_.start(10);
    }
    ~MessageBoxWatcher()
    {
        qApp->setProperty(kWatchedProperty, qApp->property(kWatchedProperty).toInt() - 1);
    }
    MessageBoxWatcher(const MessageBoxWatcher &) = delete;
    MessageBoxWatcher &operator=(const MessageBoxWatcher &) = delete;

    const QStringList &texts() const { return texts_; }
    // The caption of each box's button; empty where a box had more than one.
    const QStringList &buttonTexts() const { return buttonTexts_; }

private:
    void dismissVisibleBoxes()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible() || seen_.contains(box))
                continue;
            seen_.append(box);
            texts_.append(box->text());
            const QList<QAbstractButton *> buttons = box->buttons();
            buttonTexts_.append(buttons.size() == 1 ? buttons.front()->text() : QString());
            if (!buttons.isEmpty())
                buttons.front()->click();
        }
    }

    QTimer timer_;
    QList<QPointer<QMessageBox>> seen_;
    QStringList texts_;
    QStringList buttonTexts_;
};
