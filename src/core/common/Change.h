// Translation of resource ids ("IDS_...") through the host's language files.
//
// The language files are Qt Linguist files whose source texts are the resource ids and whose
// contexts are the groups ("SMSUIPlugin", "XFramePlugin", ...). A shortcut travels with the text
// after a tab: "New\tCtrl+N".
#pragma once

#include <QKeySequence>
#include <QString>
#include <QStringList>

class Change
{
public:
    // The text for `id` in `group`, without its shortcut part. Falls back to English, then to the
    // id itself: a missing translation shows the id, never an empty text.
    static QString tr(const QString& id, const QString& group);
    // Splits the translation into text and key sequence; true when a key sequence was given.
    static bool tr(const QString& id, const QString& group, QString& text, QKeySequence& key);

    // Loads "<library path>/translations/host_<language>.qm" (e.g. "en", "de", "ar"); English is
    // always kept loaded as the fallback. False when the file is missing or unreadable; the
    // previous language then stays in force.
    static bool LoadLanguage(const QString& language);
    static QString CurrentLanguage();
    static bool IsRightToLeft();
    static QStringList AvailableLanguages();
    // Directory the language files are read from (tests point it at the build tree).
    static QString TranslationDirectory();
};
