// The conformance suite against the Qt view: the window worked through Qt's
// own input, offscreen, each action inside the event loop as a user's is.
#include "WindowConformance.h"

#include "CaptionLabel.h"
#include "Controls.h"
#include "EventDispatch.h"
#include "EventLoop.h"
#include "Form1.h"
#include "QtPrinters.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// The loop ended only because the action was done.
constexpr int kStillRunning = -1000;

QColor qColor(form::Rgb rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

form::Rgb rgb(QColor colour)
{
    return {std::uint8_t(colour.red()), std::uint8_t(colour.green()), std::uint8_t(colour.blue())};
}

class QtDriver final : public conformance::WindowDriver
{
public:
    QtDriver()
    {
        QPalette black = QApplication::palette();
        black.setColor(QPalette::WindowText, Qt::black);
        QApplication::setPalette(black);
    }
    ~QtDriver() override
    {
        form_.reset();
        QApplication::setPalette(palette_);
    }
    QtDriver(const QtDriver &) = delete;
    QtDriver &operator=(const QtDriver &) = delete;

    void open(calc::Calculation calculation, form::DecimalSeparators separators) override
    {
        form_ =
            std::make_unique<Form1>(std::move(calculation), [separators] { return separators; });
        QObject::connect(form_->findChild<AccessibleNotice *>(), &AccessibleNotice::appeared,
                         [this](const QString &text) { heard_.push_back(text.toStdU16String()); });
        if (!showAndActivate(*form_))
            ADD_FAILURE() << "the window never became active";
    }
    void click(form::Role role) override
    {
        run([&] { QTest::mouseClick(form_->control(role), Qt::LeftButton); });
    }
    void press(conformance::Press key) override
    {
        using Kind = conformance::Press::Kind;
        run([&] {
            QWidget *target =
                QApplication::focusWidget() ? QApplication::focusWidget() : form_.get();
            switch (key.kind) {
            case Kind::Tab:
                QTest::keyClick(target, Qt::Key_Tab);
                break;
            case Kind::Backtab:
                QTest::keyClick(target, Qt::Key_Backtab, Qt::ShiftModifier);
                break;
            case Kind::Enter:
                QTest::keyClick(target, Qt::Key_Return);
                break;
            case Kind::Space:
                QTest::keyClick(target, Qt::Key_Space);
                break;
            case Kind::Escape:
                QTest::keyClick(target, Qt::Key_Escape);
                break;
            case Kind::Alt:
            case Kind::Letter: {
                // As a Russian keyboard layout sends it.
                const QString text(QChar{key.letter});
                const auto code = static_cast<Qt::Key>(text.toUpper().at(0).unicode());
                QTest::sendKeyEvent(QTest::Click, target, code, text,
                                    key.kind == Kind::Alt ? Qt::AltModifier : Qt::NoModifier);
                break;
            }
            }
        });
    }
    void changeScheme(form::Rgb text) override
    {
        run([&] {
            QPalette scheme = QApplication::palette();
            scheme.setColor(QPalette::WindowText, qColor(text));
            QApplication::setPalette(scheme);
        });
    }
    // Qt is told: the application's palette changes.
    void changeButtonColours(form::Rgb text, form::Rgb face) override
    {
        run([&] {
            QPalette scheme = QApplication::palette();
            scheme.setColor(QPalette::ButtonText, qColor(text));
            scheme.setColor(QPalette::Button, qColor(face));
            QApplication::setPalette(scheme);
        });
    }
    void failElsewhere(std::exception_ptr error) override
    {
        run([&] { dispatchEvent(form_.get(), [&] { std::rethrow_exception(error); }); });
    }

    std::u16string answer() override { return answerLabel(*form_)->text().toStdU16String(); }
    form::Role focus() override
    {
        const QWidget *focus = QApplication::focusWidget();
        if (!focus || focus->window() != form_.get())
            return form::Role::None;
        const form::ControlSpec *row = form::findControl(focus->objectName().toStdString());
        return row ? row->role : form::Role::None;
    }
    // The role each kind paints with: a line's is the label's.
    form::Rgb ink(const char *name) override
    {
        const bool button = form::findControl(name)->kind == form::ControlKind::Button;
        const QColor ink = form_->control(name)->palette().color(button ? QPalette::ButtonText
                                                                        : QPalette::WindowText);
        return rgb(ink);
    }
    // Qt keeps a parent's children back to front.
    std::vector<conformance::Placed> placed() override
    {
        std::vector<conformance::Placed> placed;
        for (QObject *child : form_->children()) {
            if (const auto *widget = qobject_cast<QWidget *>(child)) {
                const QRect box = widget->geometry();
                placed.insert(placed.begin(), {widget->objectName().toStdString(),
                                               {box.x(), box.y(), box.width(), box.height()}});
            }
        }
        placed.insert(placed.begin(), {"Form1", {0, 0, form_->width(), form_->height()}});
        return placed;
    }
    // From the window as it draws itself.
    form::Rgb background(const char *name) override
    {
        const QRect box =
            std::string_view(name) == "Form1" ? form_->rect() : form_->control(name)->geometry();
        const QImage image = form_->grab().toImage();
        const qreal scale = image.devicePixelRatio();
        return rgb(
            image.pixelColor(int((box.right() - 2) * scale), int((box.bottom() - 2) * scale)));
    }
    // A label's lines where the label paints them; a button's caption is the
    // style's to place, so only its text and underlined letter are read.
    conformance::DrawnCaption caption(const char *name) override
    {
        QWidget *control = form_->control(name);
        conformance::DrawnCaption drawn;
        if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
            const form::ShownCaption shown =
                form::ShownCaption::fromCaption(button->text().toStdU16String());
            drawn.lines.push_back({shown.text});
            if (shown.underlined)
                drawn.underline = {shown.text[*shown.underlined]};
            return drawn;
        }
        auto *label = qobject_cast<CaptionLabel *>(control);
        if (!label)
            return drawn;
        const CaptionLabel::Layout &layout = label->captionLayout();
        const QPointF at = label->pos();
        for (qsizetype i = 0; i < qsizetype(layout.lines.size()); ++i) {
            const form::CaptionLine &line = layout.lines[std::size_t(i)];
            const QRectF rect = label->lineRect(i).translated(at);
            drawn.lines.push_back(
                {layout.text.mid(qsizetype(line.start), qsizetype(line.inkLength)).toStdU16String(),
                 rect.left(), rect.right(), rect.top()});
        }
        if (const std::optional<form::Underline> &key = layout.laid.underline)
            drawn.underline = underline(*label, *key);
        return drawn;
    }
    // The underline as the label paints it, read off its pixels, and the cell
    // of the character it is for.
    static conformance::DrawnUnderline underline(CaptionLabel &label, const form::Underline &key)
    {
        const CaptionLabel::Layout &layout = label.captionLayout();
        const qsizetype line = qsizetype(key.line);
        const QRectF cell =
            label.glyphRect(line, qsizetype(key.index - layout.lines.at(key.line).start))
                .translated(label.pos());
        conformance::DrawnUnderline drawn{
            layout.text.at(qsizetype(key.index)).unicode(), {}, {}, cell.left(), cell.right()};
        const QImage image = label.grab().toImage();
        const qreal scale = image.devicePixelRatio();
        const form::Rgb ink = rgb(label.palette().color(QPalette::WindowText));
        const form::Rgb band = rgb(label.palette().color(label.backgroundRole()));
        const auto inked = [&](int x, int y) {
            return image.valid(x, y) && conformance::isInk(rgb(image.pixelColor(x, y)), ink, band);
        };
        const QRectF box = label.lineRect(line);
        const std::optional<conformance::InkRun> run = conformance::underlineInPixels(
            inked, int(box.left() * scale), int(box.top() * scale), int(box.right() * scale),
            std::min(image.height(), int((box.bottom() + 2) * scale)));
        if (run) {
            drawn.left = label.x() + run->left / scale;
            drawn.right = label.x() + run->right / scale;
        }
        return drawn;
    }
    std::vector<std::u16string> announcements() override { return heard_; }
    std::vector<std::u16string> errorBoxes() override
    {
        std::vector<std::u16string> texts;
        for (const QString &text : boxes_.texts())
            texts.push_back(text.toStdU16String());
        return texts;
    }
    std::optional<int> status() override { return status_; }
    // Through Qt's accessible interfaces, which its AT-SPI bridge serves.
    std::vector<conformance::Accessible> accessibleTree() override
    {
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(form_.get());
        if (!window)
            return {};
        std::vector<conformance::Accessible> tree{read(*window)};
        for (int i = 0; i < window->childCount(); ++i) {
            if (QAccessibleInterface *child = window->child(i))
                tree.push_back(read(*child));
        }
        return tree;
    }

private:
    static conformance::Accessible read(QAccessibleInterface &object)
    {
        const auto role = [](QAccessible::Role role) -> std::string {
            switch (role) {
            case QAccessible::Dialog:
                return "window";
            case QAccessible::PushButton:
                return "push button";
            case QAccessible::StaticText:
                return "text";
            case QAccessible::Graphic:
                return "graphic";
            case QAccessible::Separator:
                return "separator";
            default:
                return "Qt role " + std::to_string(int(role));
            }
        };
        return {role(object.role()), object.text(QAccessible::Name).toStdU16String(),
                object.text(QAccessible::Description).toStdU16String(),
                object.text(QAccessible::Value).toStdU16String()};
    }

    // Runs `action` inside the event loop, then lets the loop go on until
    // what it started is done: no button still drawn pressed (an access
    // key's click comes after that), no box open, and no closed window's end
    // still to come. The loop's own end, if
    // the action ended the program, is its status.
    void run(const std::function<void()> &action)
    {
        // The end is posted, behind whatever the action's last step posted
        // (closing the window posts the loop's quit), and dropped with
        // `context` if the loop ends first.
        QObject context;
        const bool shown = form_->isVisible();
        QTimer settled;
        settled.setInterval(5);
        QObject::connect(&settled, &QTimer::timeout, [&] {
            const auto buttons = form_->findChildren<QAbstractButton *>();
            const bool pressed = std::any_of(buttons.begin(), buttons.end(),
                                             [](const QAbstractButton *b) { return b->isDown(); });
            // A window the action closed ends the loop itself.
            const bool closing = shown && !form_->isVisible();
            if (pressed || closing || QApplication::activeModalWidget())
                return;
            settled.stop();
            QMetaObject::invokeMethod(
                &context, [] { QCoreApplication::exit(kStillRunning); }, Qt::QueuedConnection);
        });
        const int status = runEventLoop([&] {
            action();
            settled.start();
        });
        ASSERT_NE(status, kLoopTimedOut);
        if (status != kStillRunning && !status_)
            status_ = status;
    }

    QPalette palette_ = QApplication::palette();
    MessageBoxWatcher boxes_;
    std::unique_ptr<Form1> form_;
    std::vector<std::u16string> heard_;
    std::optional<int> status_;
};

} // namespace

namespace conformance {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, WindowConformance, QtDriver);
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, KeptFocusConformance, QtDriver);
// A desktop window is never inside a browser's page.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BrowserFocusConformance);
} // namespace conformance
