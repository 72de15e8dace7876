// Reads the plug-in's configuration file "SMSUIPluginConfig.xml" into a multi-map and the
// tool-bar item list.
#pragma once

#include "ToolBarLogic.h"

#include <QList>
#include <QMultiMap>
#include <QString>

class QXmlStreamReader;

using SMSConfigMap = QMultiMap<QString, QString>;

class SmsSettingXMLParse
{
public:
    enum Result { Ok = 0, FileMissing = 3, Malformed = 6, CannotOpen = 25 };

    static QString ConfigFilePath();
    // Fills `map` from the file at ConfigFilePath() (or `path` when given). Entries read before a
    // malformed part stay in the map. Tool-bar items go to ConfiguredToolItems().
    static int GetSettingsFromXML(SMSConfigMap* map, const QString& path = QString());

    // The process-wide tool-bar item list the last load produced (items whose plug-in is missing
    // from the host are left out).
    static QList<ToolItem>& ConfiguredToolItems();

    // The first value of `key`, read as a switch: on only when exactly "true".
    static bool IsOn(const SMSConfigMap& map, const QString& key);

private:
    static void handleElement(QXmlStreamReader& xml, SMSConfigMap* map, QList<ToolItem>* items);
};
