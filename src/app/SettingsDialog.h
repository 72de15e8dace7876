// The frame's settings dialog: one tab per settings page that the plug-ins offer.
#pragma once

#include "HostInterfaces.h"

#include <QDialog>
#include <QList>

#include <functional>

class QTabWidget;

class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    SettingsDialog(const QList<ISettingUIPlugin*>& pages, QWidget* parent = nullptr);

    // A page of the frame's own, after the plug-ins' pages; `apply` runs when the plug-ins'
    // pages have applied theirs.
    void AddFramePage(QWidget* page, const QString& title, std::function<void()> apply);

    bool ApplyAll();      // each page checks itself first; false when one refused
    void accept() override;
    void reject() override;

private:
    QList<ISettingUIPlugin*> m_pages;
    QList<QWidget*> m_hosts;
    QList<std::function<void()>> m_frameAppliers;
    QTabWidget* m_pTabs = nullptr;
};
