#include "ContactPicker.h"

#include "Change.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {
QString frameText(const char* id) { return Change::tr(QLatin1String(id), QStringLiteral("XFramePlugin")); }
const int kNumberRole = Qt::UserRole;
}

ContactPicker::ContactPicker(const QList<QPair<QString, QString>>& contacts, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("XFrame_ContactPicker"));
    setWindowTitle(frameText("IDS_FRAME_PICK_TITLE"));
    auto* layout = new QVBoxLayout(this);
    m_pSearch = new QLineEdit(this);
    m_pSearch->setObjectName(QStringLiteral("XFrame_PickerSearch"));
    m_pSearch->setPlaceholderText(frameText("IDS_FRAME_PICK_SEARCH"));
    m_pSearch->setClearButtonEnabled(true);
    layout->addWidget(m_pSearch);
    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("XFrame_PickerList"));
    for (const auto& contact : contacts) {
        auto* item = new QListWidgetItem(contact.first + QStringLiteral("  ") + contact.second, m_pList);
        item->setData(kNumberRole, contact.second);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    layout->addWidget(m_pList, 1);
    auto* numbersLabel = new QLabel(frameText("IDS_FRAME_PICK_NUMBERS"), this);
    numbersLabel->setWordWrap(true);
    layout->addWidget(numbersLabel);
    m_pNumbers = new QLineEdit(this);
    m_pNumbers->setObjectName(QStringLiteral("XFrame_PickerNumbers"));
    numbersLabel->setBuddy(m_pNumbers);
    layout->addWidget(m_pNumbers);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(frameText("IDS_OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(frameText("IDS_CANCEL"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pSearch, &QLineEdit::textChanged, this, &ContactPicker::filter);
    // A click anywhere on a row ticks it, not only on the small box.
    connect(m_pList, &QListWidget::itemActivated, this, [](QListWidgetItem* item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    resize(360, 420);
}

void ContactPicker::filter(const QString& text)
{
    const QString wanted = text.trimmed();
    const QString wantedDigits = Dialable(wanted);
    for (int i = 0; i < m_pList->count(); ++i) {
        QListWidgetItem* item = m_pList->item(i);
        // By part of the name, or by part of the number however it is written.
        const bool match = wanted.isEmpty() || item->text().contains(wanted, Qt::CaseInsensitive)
            || (!wantedDigits.isEmpty() && Dialable(item->data(kNumberRole).toString()).contains(wantedDigits));
        item->setHidden(!match);
    }
}

QString ContactPicker::Dialable(const QString& text)
{
    static const QRegularExpression formatting(QStringLiteral("[\\s\\-().\\/]"));
    static const QRegularExpression number(QStringLiteral("^\\+?[0-9*#]{1,40}$"));
    QString out = text;
    out.remove(formatting);
    return number.match(out).hasMatch() ? out : QString();
}

QStringList ContactPicker::Numbers() const
{
    QStringList out;
    auto add = [&out](const QString& text) {
        const QString number = Dialable(text);
        if (!number.isEmpty() && !out.contains(number))
            out << number;
    };
    // Ticked contacts count even when a search hides them now.
    for (int i = 0; i < m_pList->count(); ++i)
        if (m_pList->item(i)->checkState() == Qt::Checked)
            add(m_pList->item(i)->data(kNumberRole).toString());
    for (const QString& typed : m_pNumbers->text().split(QRegularExpression(QStringLiteral("[;,]")), Qt::SkipEmptyParts))
        add(typed);
    return out;
}

QStringList ContactPicker::Invalid() const
{
    QStringList out;
    for (int i = 0; i < m_pList->count(); ++i) {
        const QString number = m_pList->item(i)->data(kNumberRole).toString();
        if (m_pList->item(i)->checkState() == Qt::Checked && Dialable(number).isEmpty())
            out << number;
    }
    for (const QString& typed : m_pNumbers->text().split(QRegularExpression(QStringLiteral("[;,]")), Qt::SkipEmptyParts))
        if (!typed.trimmed().isEmpty() && Dialable(typed).isEmpty())
            out << typed.trimmed();
    return out;
}
