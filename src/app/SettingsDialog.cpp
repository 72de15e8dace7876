#include "SettingsDialog.h"

#include "Change.h"
#include "CommonUtils.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QString frameText(const char* id) { return Change::tr(QLatin1String(id), QStringLiteral("XFramePlugin")); }
}

SettingsDialog::SettingsDialog(const QList<ISettingUIPlugin*>& pages, QWidget* parent)
    : QDialog(parent), m_pages(pages)
{
    setObjectName(QStringLiteral("XFrame_SettingsDialog"));
    setWindowTitle(frameText("IDS_FRAME_SETTINGS_TITLE"));
    auto* layout = new QVBoxLayout(this);
    m_pTabs = new QTabWidget(this);
    layout->addWidget(m_pTabs);
    for (ISettingUIPlugin* page : m_pages) {
        auto* host = new QWidget(m_pTabs);
        m_pTabs->addTab(host, page->GetSettingName());
        m_hosts << host;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    buttons->button(QDialogButtonBox::Ok)->setText(frameText("IDS_OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(frameText("IDS_CANCEL"));
    buttons->button(QDialogButtonBox::Apply)->setText(frameText("IDS_APPLY"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &SettingsDialog::ApplyAll);
    resize(560, 420);
    // The pages put themselves into their host once the dialog has its size. A page is sized once
    // by that call; the host's layout then keeps it the size of its tab in every language and as
    // the dialog is resized, and the dialog grows to what the largest page needs.
    QTimer::singleShot(0, this, [this] {
        for (int i = 0; i < m_pages.size(); ++i) {
            QWidget* host = m_hosts.at(i);
            m_pages.at(i)->ShowSettingPage(host, QRect(QPoint(0, 0), host->size()));
            auto* layout = new QVBoxLayout(host);
            layout->setContentsMargins(0, 0, 0, 0);
            for (QWidget* page : host->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                layout->addWidget(page);
        }
        resize(size().expandedTo(sizeHint()));
    });
}

void SettingsDialog::AddFramePage(QWidget* page, const QString& title, std::function<void()> apply)
{
    m_pTabs->addTab(page, title);
    m_frameAppliers << std::move(apply);
}

bool SettingsDialog::ApplyAll()
{
    // A page that is not valid keeps the dialog open; it has told the user why.
    for (int i = 0; i < m_pages.size(); ++i) {
        if (m_pages.at(i)->IsPageShown() && !m_pages.at(i)->IsSettingValid()) {
            m_pTabs->setCurrentIndex(i);
            return false;
        }
    }
    for (int i = 0; i < m_pages.size(); ++i) {
        if (!m_pages.at(i)->ApplySetting()) {
            // Valid, yet not kept: the device refused a setting or the page cannot reach it.
            // Nobody else says so, and the person would take the settings for saved.
            m_pTabs->setCurrentIndex(i);
            qWarning("xframe: the settings page \"%s\" could not save its settings", qPrintable(m_pages.at(i)->GetSettingName()));
            CommonUtils::ShowMessage(QMessageBox::Warning, this,
                                     frameText("IDS_FRAME_SETTINGS_NOT_SAVED").arg(m_pages.at(i)->GetSettingName()),
                                     frameText("IDS_FRAME_SETTINGS_TITLE"), QStringLiteral("IDS_OK"), QString(), QString());
            return false;
        }
    }
    for (const auto& apply : qAsConst(m_frameAppliers))
        apply();
    return true;
}

void SettingsDialog::accept()
{
    if (ApplyAll())
        QDialog::accept();
}

void SettingsDialog::reject()
{
    for (ISettingUIPlugin* page : m_pages)
        page->CancelSetting();
    QDialog::reject();
}
