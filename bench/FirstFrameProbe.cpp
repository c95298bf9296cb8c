// Starts like the program and writes one byte to stdout as soon as its window
// has painted its first frame, then ends. "form1" shows the program's window,
// "bare" a plain QWidget of the same size, as the baseline, and "text" the
// same plain QWidget with one line of text in it, the least any window that
// shows text pays for the font system. "labels" is the floor for the
// program's window: the same plain QWidget with the table's four label texts
// in word-wrapped QLabels and its two captions on QPushButtons, in the faces
// the program resolves, and nothing else.
#include "CaptionLayout.h"
#include "FontStandIn.h"
#include "Form1.h"
#include "WindowTable.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
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

QString qText(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QRect pixelRect(const form::TwipsRect &twips)
{
    const form::PixelRect pixels = form::pixelsFromTwips(twips);
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}

// The face as the program resolves it: the stand-ins as one list of
// families, sized for 96 dpi.
QFont fontOf(const form::FontSpec &wanted)
{
    const form::FontStandIn standIn = form::fontStandIn(wanted);
    QStringList families;
    for (const std::u16string &family : standIn.families)
        families.append(qText(family));
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    const QScreen *screen = QGuiApplication::primaryScreen();
    font.setPointSizeF(wanted.points * 96.0 / (screen ? screen->logicalDotsPerInchY() : 96.0));
    font.setWeight(static_cast<QFont::Weight>(standIn.weight));
    font.setStretch(standIn.stretch.value_or(QFont::AnyStretch));
    return font;
}

// The program's texts in plain Qt widgets, where the table puts them.
std::unique_ptr<QWidget> plainWidgets()
{
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(409, 185);
    window->setFont(fontOf(form::windowSpec().font));
    for (const form::ControlSpec &row : form::controlSpecs()) {
        const auto *rect = std::get_if<form::TwipsRect>(&row.geometry);
        QWidget *widget = nullptr;
        if (row.kind == form::ControlKind::Button) {
            widget = new QPushButton(qText(row.caption), window.get());
        } else if (row.kind == form::ControlKind::Label) {
            const form::ShownCaption shown = form::ShownCaption::fromCaption(row.caption);
            auto *label = new QLabel(qText(shown.text), window.get());
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            widget = label;
        }
        if (!widget || !rect)
            continue;
        widget->setGeometry(pixelRect(*rect));
        if (row.font)
            widget->setFont(fontOf(*row.font));
    }
    return window;
}

} // namespace

int main(int argc, char *argv[])
{
    const char *kind = argc > 1 ? argv[1] : "form1";
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (std::strcmp(kind, "form1") == 0) {
        window = std::make_unique<Form1>();
    } else if (std::strcmp(kind, "labels") == 0) {
        window = plainWidgets();
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
