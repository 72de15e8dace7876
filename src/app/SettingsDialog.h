// The frame's settings dialog: one tab per settings page that the plug-ins offer.
#pragma once

#include "HostInterfaces.h"

#include <QDialog>
#include <QList>

class QTabWidget;

class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    SettingsDialog(const QList<ISettingUIPlugin*>& pages, QWidget* parent = nullptr);

    bool ApplyAll();      // each page checks itself first; false when one refused
    void accept() override;
    void reject() override;

private:
    QList<ISettingUIPlugin*> m_pages;
    QList<QWidget*> m_hosts;
    QTabWidget* m_pTabs = nullptr;
};
