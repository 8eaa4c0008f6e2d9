#include "platform/dialogs/recorder_window.h"

#include "platform/desktop/message_box.h"
#include "platform/window/client_area.h"
#include "platform/window/cursor.h"
#include "platform/window/shell_widget.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace vellum::platform {

namespace {

class RecorderDialog final : public QDialog {
public:
    RecorderDialog(QWidget* parent, const RecorderOptions& options, RecorderActions& actions)
        : QDialog(parent, options.move ? Qt::Dialog : Qt::Dialog | Qt::FramelessWindowHint), actions(actions)
    {
        setWindowTitle(QStringLiteral("Voice recorder"));
        auto* column = new QVBoxLayout(this);
        time = new QLabel(this);
        time->setAlignment(Qt::AlignCenter);
        column->addWidget(time);
        notice = new QLabel(this);
        notice->setAlignment(Qt::AlignCenter);
        notice->hide();
        column->addWidget(notice);
        auto* row = new QHBoxLayout;
        record = AddButton(row, QStringLiteral("Record"), [this] {
            if (!this->actions.Record()) Tell(QStringLiteral("The note could not be recorded."));
        });
        record->setVisible(options.record);
        if (options.record && !actions.CanRecord()) {
            microphone = false;
            Tell(QStringLiteral("No microphone: there is nothing to record from."));
        }
        stop = AddButton(row, QStringLiteral("Stop"), [this] { this->actions.Stop(); });
        play = AddButton(row, QStringLiteral("Play"), [this] { this->actions.Play(); });
        AddButton(row, QStringLiteral("Close"), [this] { accept(); });
        column->addLayout(row);
        connect(&ticks, &QTimer::timeout, this, [this] { Show(this->actions.Poll()); });
        ticks.start(30);
        if (options.playNow) actions.Play();
        Show(actions.Poll());
    }

    // False when the recorder was to record and had no microphone.
    bool HadMicrophone() const { return microphone; }

    void done(int result) override
    {
        ticks.stop();
        actions.Stop();
        QDialog::done(result);
    }

private:
    template <class Press>
    QPushButton* AddButton(QHBoxLayout* row, const QString& text, Press press)
    {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, press] {
            press();
            Show(this->actions.Poll());
        });
        row->addWidget(button);
        return button;
    }

    void Show(const RecorderActions::Status& status)
    {
        const int tenths = static_cast<int>(std::floor(status.seconds * 10));
        const QString state = status.recording ? QStringLiteral("Recording") : status.playing ? QStringLiteral("Playing") : QString();
        time->setText(QStringLiteral("%1 %2:%3.%4")
                          .arg(state)
                          .arg(tenths / 600)
                          .arg(tenths / 10 % 60, 2, 10, QLatin1Char('0'))
                          .arg(tenths % 10)
                          .trimmed());
        record->setEnabled(microphone && !status.recording);
        stop->setEnabled(status.recording || status.playing);
        play->setEnabled(!status.recording);
    }

    void Tell(const QString& text)
    {
        notice->setText(text);
        notice->show();
    }

    RecorderActions& actions;
    bool microphone = true;
    QLabel* time;
    QLabel* notice;
    QPushButton* record;
    QPushButton* stop;
    QPushButton* play;
    QTimer ticks;
};

} // namespace

bool RunVoiceRecorder(const FormWindow& owner, const RecorderOptions& options, RecorderActions& actions)
{
    if (ConsoleMode() || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return false;
    ShellWidget* shell = ShellWidgetOf(owner);
    if (shell == nullptr) return false;
    RecorderDialog dialog(shell, options, actions);
    dialog.adjustSize();
    if (options.x != -1 && options.y != -1) dialog.move(shell->client->mapToGlobal(QPoint(options.x, options.y)));
    const SystemPointerScope systemPointer;
    shell->WhileBusy([&] { dialog.exec(); });
    return dialog.HadMicrophone();
}

} // namespace vellum::platform
