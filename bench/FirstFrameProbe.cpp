// Starts like the program and writes one byte to stdout as soon as its window
// has painted its first frame, then ends. "form1" shows the program's window,
// "bare" a plain QWidget of the same size, as the baseline, and "text" the
// same plain QWidget with one line of text in it, the least any window that
// shows text pays for the font system.
#include "Form1.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

class FirstPaintWatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Runs once this paint has been flushed to the window.
            QTimer::singleShot(0, [] {
                const char byte = '\n';
                (void)!write(STDOUT_FILENO, &byte, 1);
                _exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char *argv[])
{
    const char *kind = argc > 1 ? argv[1] : "form1";
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (std::strcmp(kind, "form1") == 0) {
        window = std::make_unique<Form1>();
    } else {
        window = std::make_unique<QWidget>();
        window->setFixedSize(409, 185);
        if (std::strcmp(kind, "text") == 0)
            new QLabel(QStringLiteral("Velto"), window.get());
    }
    FirstPaintWatcher watcher;
    window->installEventFilter(&watcher);
    window->show();
    return QApplication::exec();
}
