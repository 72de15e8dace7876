#include "store/SmsSettingXMLParse.h"

#include "CommonUtils.h"
#include "store/SMSLog.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

QString SmsSettingXMLParse::ConfigFilePath()
{
    return CommonUtils::GetPluginLibraryPath() + QStringLiteral("/plugins/SMSUIPlugin/SMSUIPluginConfig.xml");
}

QList<ToolItem>& SmsSettingXMLParse::ConfiguredToolItems()
{
    static QList<ToolItem> items;
    return items;
}

bool SmsSettingXMLParse::IsOn(const SMSConfigMap& map, const QString& key)
{
    // QMultiMap::value gives the most recently inserted value; the first one in the file counts.
    const QList<QString> values = map.values(key);
    return !values.isEmpty() && values.last() == QLatin1String("true");
}

void SmsSettingXMLParse::handleElement(QXmlStreamReader& xml, SMSConfigMap* map, QList<ToolItem>* items)
{
    static const QStringList textKeys = {
        QStringLiteral("SMSCenterValid"), QStringLiteral("ShowSMCount"), QStringLiteral("SentItemsBox"),
        QStringLiteral("HidePrioritySetting"), QStringLiteral("SMSCenterSeting"), QStringLiteral("SMSReceiveMode"),
        QStringLiteral("Local2Device"), QStringLiteral("SMSExportSelect"), QStringLiteral("SMSExportAll"),
        QStringLiteral("NumberLimit")};
    const QString name = xml.name().toString();
    if (textKeys.contains(name)) {
        const QString text = xml.readElementText();
        if (!xml.hasError())   // a value cut off by a damaged file is not a value
            map->insert(name, text);
    } else if (name == QLatin1String("Separator")) {
        const QString text = xml.readElementText();
        if (!xml.hasError())
            CommonUtils::SetSMSSeperatorConfigValue(text != QLatin1String("false"));
    } else if (name == QLatin1String("item")) {
        const QXmlStreamAttributes a = xml.attributes();
        ToolItem item;
        item.id = a.value(QStringLiteral("id")).toInt();
        item.tooltip = a.value(QStringLiteral("tooltip")).toString();
        item.enabled = a.value(QStringLiteral("enabled")).toString();
        item.disabled = a.value(QStringLiteral("disabled")).toString();
        item.pluginName = a.value(QStringLiteral("pluginname")).toString();
        item.bSearch = item.tooltip == QLatin1String("IDS_TIP_SEARCH");
        // The Call item follows the host's voice-call switch, as the context menu's Call entry does.
        const bool callOff = item.id == 9005
            && CommonUtils::GetSettings(QStringLiteral("callui"), QStringLiteral("callvoice")).toInt() == 0;
        if (!callOff && (item.pluginName.isEmpty() || CommonUtils::IsPluginAvailable(item.pluginName)))
            items->append(item);
    }
}

int SmsSettingXMLParse::GetSettingsFromXML(SMSConfigMap* map, const QString& path)
{
    const QString file = path.isEmpty() ? ConfigFilePath() : path;
    if (!map || !QFileInfo::exists(file)) {
        SMS_DEBUG("File %s does not exist", qPrintable(file));
        return FileMissing;
    }
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        SMS_DEBUG("Error open file: %s", qPrintable(file));
        return CannotOpen;
    }
    QXmlStreamReader xml(&f);
    QList<ToolItem> items;
    bool inValidity = false;
    int result = Ok;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.hasError())
            break;
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("ValidityPeriod"))
                inValidity = true;
            if (inValidity && xml.attributes().hasAttribute(QStringLiteral("resource")))
                map->insert(QStringLiteral("SMSSettingValidityPeriod"), xml.attributes().value(QStringLiteral("resource")).toString());
            handleElement(xml, map, &items);
        } else if (xml.isEndElement() && xml.name() == QLatin1String("ValidityPeriod")) {
            inValidity = false;
        }
    }
    if (xml.hasError()) {
        SMS_DEBUG("%s: %s: Read Error: %s", SMSLog::now().constData(), __func__, qPrintable(xml.errorString()));
        result = Malformed;
    }
    ConfiguredToolItems() = items;
    return result;
}
