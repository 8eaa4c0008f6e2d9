// The form window in Qt. One top-level widget (the shell) holds the title
// strip, the client area, the soft-key bar and the input panel, placed by
// hand: the strips keep their heights and the client area takes the rest;
// the panel lies over the client area's bottom, above the bar, as the
// device's panel lies over the form.
//
// Every call into the handler may run script code, which may destroy this
// very window or drop the form that owns it. So the handler is reached only
// through the shell, which forgets it when the window is destroyed, and a
// window destroyed during one of its own events is deleted once the event
// is over.
#include "platform/window/form_window.h"

#include "platform/controls/control_window.h"
#include "platform/draw/qt_canvas.h"
#include "platform/window/device_screen.h"
#include "platform/window/input_panel.h"
#include "platform/window/key_codes.h"
#include "platform/window/screenshot.h"
#include "platform/window/soft_key_bar.h"
#include "platform/window/today_host.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QToolButton>
#include <QVariant>
#include <QWindow>

namespace vellum::platform {

namespace {

QString ToQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

Rect ToRect(const QRect& r) { return {r.left(), r.top(), r.right(), r.bottom()}; }

// Inclusive rectangles in, Qt's rectangle out.
QRect ToQRect(const Rect& r)
{
    if (r.Empty()) return {};
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

constexpr char kControlWindowProperty[] = "vellumNativeWindow";

class ShellWidget;

// The client area: the form's views paint here and its input starts here.
class ClientArea final : public QWidget {
public:
    explicit ClientArea(ShellWidget& shell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Tab is a key for the form, not a move between widgets.
    bool focusNextPrevChild(bool) override { return false; }

private:
    ShellWidget& shell;
    QImage buffer; // the double-buffered paint's image, kept between paints
    bool painted = false;
};

// The title strip: the form's title and the done button.
class TitleStrip final : public QWidget {
public:
    TitleStrip(QWidget* parent, std::function<void(int32_t)> command);
    void SetTitle(const QString& title) { title_->setText(title); }
    void SetDoneButton(DoneButton kind);

private:
    QLabel* title_;
    QToolButton* done;
    DoneButton kind = DoneButton::Hidden;
};

class ShellWidget final : public QWidget {
public:
    ShellWidget(FormWindowHandler& handler, const FormWindowOptions& options);

    // Runs call on the handler unless the window was destroyed.
    template <class Call>
    void Dispatch(Call call)
    {
        if (handler == nullptr) return;
        ++dispatching;
        call(*handler);
        --dispatching;
    }
    // Forgets the handler and deletes the widget, later when inside its own events.
    void Retire();

    Rect ClientRect() const { return ToRect(client->rect()); }
    int32_t AvailableHeight() const;
    void ShowInputPanel(bool up);
    void UpdateBar();
    bool TodayQuery(TodayItemRecord& record);

    ClientArea* client;
    TitleStrip* titleStrip = nullptr;
    SoftKeyBar* bar = nullptr;
    InputPanel* panel = nullptr;
    TodayHost* today = nullptr;

protected:
    void resizeEvent(QResizeEvent*) override { LayOut(); }
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void LayOut();

    FormWindowHandler* handler;
    int dispatching = 0;
};

// --- the client area -------------------------------------------------------

ClientArea::ClientArea(ShellWidget& shell_) : QWidget(&shell_), shell(shell_)
{
    setObjectName("client");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // The form paints every pixel it wants; what it leaves stays as it was,
    // since the handheld's form erases nothing before painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClientArea::paintEvent(QPaintEvent* event)
{
    const QRect area = event->rect();
    const Rect clip = ToRect(area);
    PaintMode mode;
    shell.Dispatch([&](FormWindowHandler& h) { mode = h.PaintModeNow(); });
    QPainter onWindow(this);
    if (shell.today != nullptr && TodayHost::FromHandle(shell.today) != nullptr) {
        // The Today screen draws its watermark behind the item.
        shell.today->DrawWatermark(onWindow, *this);
    }
    if (mode.doubleBuffered) {
        if (buffer.size() != size()) buffer = QImage(size(), QImage::Format_RGB32);
        {
            QPainter image(&buffer);
            image.fillRect(area, Qt::white);
            QtCanvas canvas(image);
            shell.Dispatch([&](FormWindowHandler& h) { h.Paint(canvas, clip); });
        }
        onWindow.drawImage(area, buffer, area);
    } else {
        onWindow.setBackground(Qt::white);
        onWindow.setBackgroundMode(mode.transparent ? Qt::TransparentMode : Qt::OpaqueMode);
        QtCanvas canvas(onWindow);
        shell.Dispatch([&](FormWindowHandler& h) { h.Paint(canvas, clip); });
    }
    if (!painted) {
        painted = true;
        AfterFormPainted(*window(), [shell = QPointer<ShellWidget>(&shell)] {
            if (shell != nullptr) shell->Dispatch([](FormWindowHandler& h) { h.EndRequested(); });
        });
    }
}

void ClientArea::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    shell.Dispatch([&](FormWindowHandler& h) { h.MouseDown({p.x(), p.y()}); });
}

// Qt keeps sending the pointer to the widget it was pressed on until the
// release, which is the capture the form asks for.
void ClientArea::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    shell.Dispatch([&](FormWindowHandler& h) { h.MouseUp({p.x(), p.y()}); });
}

void ClientArea::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    shell.Dispatch([&](FormWindowHandler& h) { h.MouseMove({p.x(), p.y()}); });
}

void ClientArea::keyPressEvent(QKeyEvent* event)
{
    const int32_t key = VirtualKeyOfQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    if (key == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    shell.Dispatch([&](FormWindowHandler& h) { h.KeyDown(key); });
}

void ClientArea::resizeEvent(QResizeEvent*)
{
    shell.Dispatch([](FormWindowHandler& h) { h.Resized(); });
}

// --- the title strip -------------------------------------------------------

TitleStrip::TitleStrip(QWidget* parent, std::function<void(int32_t)> command) : QWidget(parent)
{
    setObjectName("titleStrip");
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(16, 60, 130));
    colours.setColor(QPalette::WindowText, Qt::white);
    colours.setColor(QPalette::Button, QColor(16, 60, 130));
    colours.setColor(QPalette::ButtonText, Qt::white);
    setPalette(colours);
    QFont font = this->font();
    font.setPixelSize(DeviceDipToPx(13));
    font.setBold(true);
    setFont(font);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(DeviceDipToPx(4), 0, 0, 0);
    row->setSpacing(0);
    title_ = new QLabel(this);
    title_->setObjectName("title");
    row->addWidget(title_, 1);
    done = new QToolButton(this);
    done->setObjectName("doneButton");
    done->setFocusPolicy(Qt::NoFocus);
    done->setAutoRaise(true);
    done->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    done->setFixedWidth(DeviceDipToPx(30));
    done->hide();
    row->addWidget(done);
    connect(done, &QToolButton::clicked, this, [this, command = std::move(command)] {
        command(kind == DoneButton::Ok ? kCommandOk : kCommandCancel);
    });
}

void TitleStrip::SetDoneButton(DoneButton kind_)
{
    kind = kind_;
    done->setText(kind == DoneButton::Ok ? QStringLiteral("ok") : QStringLiteral("\u00D7"));
    done->setVisible(kind != DoneButton::Hidden);
}

// --- the shell ---------------------------------------------------------------

ShellWidget::ShellWidget(FormWindowHandler& handler_, const FormWindowOptions& options)
    : QWidget(options.todayParent != nullptr ? options.todayParent->ItemParent() : nullptr), handler(&handler_)
{
    setObjectName("formWindow");
    client = new ClientArea(*this);
    setFocusProxy(client);
    const auto command = [this](int32_t id) { Dispatch([id](FormWindowHandler& h) { h.Command(id); }); };
    if (options.todayParent != nullptr) {
        today = options.todayParent;
        resize(today->ItemParent()->width(), options.todayHeight);
    } else {
        setWindowTitle(ToQString(options.title));
        titleStrip = new TitleStrip(this, command);
        titleStrip->SetTitle(ToQString(options.title));
        bar = new SoftKeyBar(this, {command, [this] { Dispatch([](FormWindowHandler& h) { h.MenuAboutToShow(); }); },
                                    [this] { ShowInputPanel(panel->isHidden()); }});
        panel = new InputPanel(this, client);
        panel->hide();
        UpdateBar();
        const DeviceScreen& screen = CurrentDeviceScreen();
        resize(screen.size.width, screen.size.height);
    }
    LayOut();
    // A native control of this form took the focus from the client area.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old != client || now == nullptr || !client->isAncestorOf(now)) return;
        if (NativeWindow* control = ControlWindowOf(now)) {
            Dispatch([control](FormWindowHandler& h) { h.FocusMovedTo(control); });
        }
    });
}

void ShellWidget::LayOut()
{
    const int width = this->width();
    int top = 0;
    int bottom = height();
    if (titleStrip != nullptr) {
        top = DeviceDipToPx(26);
        titleStrip->setGeometry(0, 0, width, top);
    }
    if (bar != nullptr && !bar->isHidden()) {
        const int barHeight = DeviceDipToPx(26);
        bottom -= barHeight;
        bar->setGeometry(0, bottom, width, barHeight);
    }
    client->setGeometry(0, top, width, std::max(0, bottom - top));
    if (panel != nullptr) {
        const int panelHeight = std::min(DeviceDipToPx(80), std::max(0, bottom - top));
        panel->setGeometry(0, bottom - panelHeight, width, panelHeight);
        panel->raise();
    }
}

// The bar shows while there is a menu or the input panel's button.
void ShellWidget::UpdateBar()
{
    if (bar == nullptr) return;
    const bool shown = bar->HasMenu() || bar->InputPanelButtonShown();
    if (shown == !bar->isHidden()) return;
    bar->setVisible(shown);
    LayOut();
}

int32_t ShellWidget::AvailableHeight() const
{
    if (bar == nullptr || !bar->HasMenu()) return 0;
    const int covered = panel->isHidden() ? 0 : panel->height();
    return std::max(0, client->height() - covered);
}

void ShellWidget::ShowInputPanel(bool up)
{
    if (panel == nullptr || up == !panel->isHidden()) return;
    panel->setVisible(up);
    if (up) panel->raise();
    Dispatch([](FormWindowHandler& h) { h.InputPanelChanged(); });
}

bool ShellWidget::TodayQuery(TodayItemRecord& record)
{
    bool changed = false;
    Dispatch([&](FormWindowHandler& h) { changed = h.TodayRefreshQuery(&record); });
    return changed;
}

void ShellWidget::closeEvent(QCloseEvent* event)
{
    // The form decides; on consent it destroys the window itself.
    event->ignore();
    Dispatch([](FormWindowHandler& h) { h.CloseRequested(); });
}

bool ShellWidget::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
        const bool active = event->type() == QEvent::WindowActivate;
        Dispatch([active](FormWindowHandler& h) { h.Activated(active); });
    }
    return QWidget::event(event);
}

void ShellWidget::Retire()
{
    handler = nullptr;
    hide();
    if (today != nullptr && TodayHost::FromHandle(today) != nullptr) today->RemoveItem(this);
    if (dispatching > 0) {
        deleteLater();
    } else {
        delete this;
    }
}

ShellWidget* ShellOf(QWidget* widget)
{
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (auto* shell = dynamic_cast<ShellWidget*>(widget)) return shell;
    }
    return nullptr;
}

} // namespace

// --- the facade ----------------------------------------------------------------

struct FormWindow::Shell {
    QPointer<ShellWidget> widget;
    // Kept here: the owner is enabled again after this window is gone.
    QPointer<QWidget> owner;
    FormWindowHandler* handler;
    QMetaObject::Connection watch;
};

std::unique_ptr<FormWindow> FormWindow::Create(FormWindowHandler& handler, const FormWindowOptions& options)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
    if (options.todayParent != nullptr && TodayHost::FromHandle(options.todayParent) == nullptr) return nullptr;
    auto shell = std::make_unique<Shell>();
    shell->handler = &handler;
    auto* widget = new ShellWidget(handler, options);
    shell->widget = widget;
    if (options.owner != nullptr && options.owner->Alive()) shell->owner = options.owner->shell->widget.data();
    std::unique_ptr<FormWindow> window(new FormWindow(std::move(shell)));
    Shell* s = window->shell.get();
    // Qt may delete the widget itself (the Today screen closing with its
    // items): the form then learns its window is gone.
    s->watch = QObject::connect(widget, &QObject::destroyed, [s] {
        if (s->handler != nullptr) {
            FormWindowHandler* h = std::exchange(s->handler, nullptr);
            h->Destroyed();
        }
    });
    if (options.todayParent != nullptr) {
        options.todayParent->AddItem(widget, options.todayHeight, [w = QPointer<ShellWidget>(widget)](TodayItemRecord& r) {
            return w != nullptr && w->TodayQuery(r);
        });
    }
    return window;
}

FormWindow::FormWindow(std::unique_ptr<Shell> shell_) : shell(std::move(shell_)) {}

FormWindow::~FormWindow()
{
    QObject::disconnect(shell->watch);
    shell->handler = nullptr;
    if (shell->widget != nullptr) shell->widget->Retire();
}

bool FormWindow::Alive() const { return shell->widget != nullptr && shell->handler != nullptr; }

void FormWindow::Invalidate(const Rect& r)
{
    if (Alive()) shell->widget->client->update(ToQRect(r));
}

void FormWindow::TakeFocus()
{
    if (Alive()) shell->widget->client->setFocus(Qt::OtherFocusReason);
}

bool FormWindow::HasFocus() const
{
    if (!Alive()) return false;
    ClientArea* client = shell->widget->client;
    return client->window()->focusWidget() == client;
}

Rect FormWindow::ClientRect() const { return Alive() ? shell->widget->ClientRect() : Rect{}; }

int32_t FormWindow::AvailableHeight() const { return Alive() ? shell->widget->AvailableHeight() : 0; }

void FormWindow::SetTitle(std::u16string_view title)
{
    if (!Alive()) return;
    shell->widget->setWindowTitle(ToQString(title));
    if (shell->widget->titleStrip != nullptr) shell->widget->titleStrip->SetTitle(ToQString(title));
}

void FormWindow::SetDoneButton(DoneButton kind)
{
    if (Alive() && shell->widget->titleStrip != nullptr) shell->widget->titleStrip->SetDoneButton(kind);
}

void FormWindow::ShowInputPanel(bool up)
{
    if (Alive()) shell->widget->ShowInputPanel(up);
}

void FormWindow::ShowInputPanelButton(bool shown)
{
    if (!Alive() || shell->widget->bar == nullptr) return;
    shell->widget->bar->ShowInputPanelButton(shown);
    shell->widget->UpdateBar();
}

void FormWindow::InstallMenuBar(const MenuLayout& menu)
{
    if (!Alive() || shell->widget->bar == nullptr) return;
    shell->widget->bar->Build(menu);
    shell->widget->UpdateBar();
}

bool FormWindow::HasMenuBar() const { return Alive() && shell->widget->bar != nullptr && shell->widget->bar->HasMenu(); }

void FormWindow::SetMenuItemChecked(int32_t id, bool checked)
{
    if (HasMenuBar()) shell->widget->bar->SetChecked(id, checked);
}

void FormWindow::SetMenuItemEnabled(int32_t id, bool enabled)
{
    if (HasMenuBar()) shell->widget->bar->SetEnabled(id, enabled);
}

void FormWindow::SetMenuItemText(int32_t id, std::u16string_view text)
{
    if (HasMenuBar()) shell->widget->bar->SetText(id, ToQString(text));
}

void FormWindow::Show()
{
    if (!Alive()) return;
    ShellWidget* widget = shell->widget;
    if (widget->isWindow() && shell->owner != nullptr) {
        // Owned: kept above the owner without Qt owning it, so either may go first.
        widget->winId();
        shell->owner->winId();
        if (QWindow* w = widget->windowHandle()) w->setTransientParent(shell->owner->windowHandle());
    }
    widget->show();
}

void FormWindow::BringToForeground()
{
    if (!Alive()) return;
    QWidget* top = shell->widget->window();
    top->raise();
    top->activateWindow();
}

void FormWindow::DisableOwner()
{
    if (!Alive() || shell->owner == nullptr) return;
    shell->owner->setEnabled(false);
    shell->widget->setEnabled(true);
}

void FormWindow::RestoreOwner()
{
    if (shell->owner == nullptr) return;
    QWidget* owner = shell->owner;
    owner->setEnabled(true);
    owner->raise();
    owner->activateWindow();
}

void FormWindow::Destroy()
{
    if (!Alive()) return;
    QObject::disconnect(shell->watch);
    FormWindowHandler* handler = std::exchange(shell->handler, nullptr);
    ShellWidget* widget = shell->widget;
    widget->Retire();
    handler->Destroyed();
}

// --- controls ------------------------------------------------------------------

void BindControlWindow(QWidget& control, NativeWindow& window)
{
    control.setProperty(kControlWindowProperty, QVariant::fromValue(static_cast<void*>(&window)));
}

NativeWindow* ControlWindowOf(QWidget* widget)
{
    for (; widget != nullptr && dynamic_cast<ShellWidget*>(widget) == nullptr; widget = widget->parentWidget()) {
        const QVariant bound = widget->property(kControlWindowProperty);
        if (bound.isValid()) return static_cast<NativeWindow*>(bound.value<void*>());
    }
    return nullptr;
}

void NotifyControlEvent(QWidget& control, ControlEvent event, int32_t code)
{
    NativeWindow* window = ControlWindowOf(&control);
    ShellWidget* shell = ShellOf(&control);
    if (window == nullptr || shell == nullptr) return;
    shell->Dispatch([&](FormWindowHandler& h) { h.ControlNotified(window, event, code); });
}

} // namespace vellum::platform
