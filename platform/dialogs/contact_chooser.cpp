#include "platform/dialogs/contact_chooser.h"

#include "platform/desktop/message_box.h"
#include "platform/qt_convert.h"
#include "platform/window/cursor.h"
#include "platform/window/shell_widget.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace vellum::platform {

namespace {

class ChooserDialog final : public QDialog {
public:
    ChooserDialog(QWidget* parent, const std::vector<ContactRow>& rows) : QDialog(parent)
    {
        setWindowTitle(QStringLiteral("Choose a contact"));
        auto* layout = new QVBoxLayout(this);
        search = new QLineEdit(this);
        search->setPlaceholderText(QStringLiteral("Type a name or number"));
        search->setClearButtonEnabled(true);
        list = new QListWidget(this);
        for (size_t i = 0; i < rows.size(); ++i) {
            const ContactRow& row = rows[i];
            QString text = row.name.empty() ? ToQString(row.number) : ToQString(row.name);
            QString second = ToQString(row.number);
            if (!row.kind.empty()) second += QStringLiteral("  (") + ToQString(row.kind) + QLatin1Char(')');
            auto* item = new QListWidgetItem(text + QLatin1Char('\n') + second, list);
            item->setData(Qt::UserRole, static_cast<qulonglong>(i));
            // What typing matches: the name and the number as written and
            // with its punctuation left out.
            QString digits = ToQString(row.number);
            digits.remove(QRegularExpression(QStringLiteral("[^0-9+*#]")));
            item->setData(Qt::UserRole + 1, ToQString(row.name) + QLatin1Char('\n') + ToQString(row.number) +
                                                QLatin1Char('\n') + digits);
        }
        buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        layout->addWidget(search);
        layout->addWidget(list);
        layout->addWidget(buttons);
        connect(search, &QLineEdit::textChanged, this, &ChooserDialog::Filter);
        connect(list, &QListWidget::itemActivated, this, &QDialog::accept);
        connect(list, &QListWidget::currentRowChanged, this, [this] { UpdateOk(); });
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        search->installEventFilter(this);
        search->setFocus();
        Filter();
    }

    std::optional<size_t> Chosen() const
    {
        const QListWidgetItem* item = list->currentItem();
        if (item == nullptr || item->isHidden()) return std::nullopt;
        return static_cast<size_t>(item->data(Qt::UserRole).toULongLong());
    }

protected:
    // The arrow keys in the search field move through the list, so the
    // user can type, pick and press Enter without leaving the keyboard.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == search && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                Step(key == Qt::Key_Down ? 1 : -1);
                return true;
            }
        }
        return QDialog::eventFilter(watched, event);
    }

private:
    void Filter()
    {
        const QString wanted = search->text().trimmed();
        QListWidgetItem* first = nullptr;
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            const bool shown = wanted.isEmpty() || item->data(Qt::UserRole + 1).toString().contains(wanted, Qt::CaseInsensitive);
            item->setHidden(!shown);
            if (shown && first == nullptr) first = item;
        }
        if (list->currentItem() == nullptr || list->currentItem()->isHidden()) list->setCurrentItem(first);
        UpdateOk();
    }

    void Step(int direction)
    {
        for (int i = list->currentRow() + direction; i >= 0 && i < list->count(); i += direction) {
            if (!list->item(i)->isHidden()) {
                list->setCurrentRow(i);
                return;
            }
        }
    }

    void UpdateOk() { buttons->button(QDialogButtonBox::Ok)->setEnabled(Chosen().has_value()); }

    QLineEdit* search;
    QListWidget* list;
    QDialogButtonBox* buttons;
};

} // namespace

std::optional<size_t> ChooseContactRow(const FormWindow* owner, const std::vector<ContactRow>& rows)
{
    if (ConsoleMode() || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return std::nullopt;
    ShellWidget* shell = owner != nullptr ? ShellWidgetOf(*owner) : nullptr;
    ChooserDialog dialog(shell, rows);
    const SystemPointerScope systemPointer;
    int result = QDialog::Rejected;
    if (shell != nullptr) shell->WhileBusy([&] { result = dialog.exec(); });
    else result = dialog.exec();
    return result == QDialog::Accepted ? dialog.Chosen() : std::nullopt;
}

} // namespace vellum::platform
