// GoogleTest entry for the widget tests: one QApplication for the process,
// created only when tests actually run (not while CTest lists them).
#include "EventLoop.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A modal box that no test watches for would wait for a click that never
// comes: the test that meets it fails, naming the box, and the box is closed.
class UnexpectedBoxCloser : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && event->type() == QEvent::Show && qApp->property(kWatchedProperty).toInt() == 0) {
            ADD_FAILURE() << "a message box nobody expected: " << box->text().toStdString();
            QTimer::singleShot(0, box, &QMessageBox::reject);
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    testing::InitGoogleTest(&argc, argv);
    UnexpectedBoxCloser closer;
    std::unique_ptr<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        app->installEventFilter(&closer);
    }
    return RUN_ALL_TESTS();
}
