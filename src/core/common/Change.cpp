#include "Change.h"

#include "CommonUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QReadWriteLock>
#include <QTranslator>
#include <memory>

namespace {

struct Languages {
    QReadWriteLock lock;
    std::unique_ptr<QTranslator> english;
    std::unique_ptr<QTranslator> current;
    QString currentName = QStringLiteral("en");
    bool englishTried = false;
};

Languages& languages()
{
    static Languages l;
    return l;
}

QString fileFor(const QString& language)
{
    return Change::TranslationDirectory() + QStringLiteral("/host_") + language + QStringLiteral(".qm");
}

std::unique_ptr<QTranslator> loadFile(const QString& language)
{
    auto translator = std::make_unique<QTranslator>();
    const QString path = fileFor(language);
    if (!translator->load(path)) {
        qWarning("Change: language file %s missing or unreadable", qPrintable(path));
        return nullptr;
    }
    return translator;
}

// Caller holds the write lock.
void ensureEnglish(Languages& l)
{
    if (!l.englishTried) {
        l.englishTried = true;
        l.english = loadFile(QStringLiteral("en"));
    }
}

QString lookup(const QString& id, const QString& group)
{
    Languages& l = languages();
    {
        QReadLocker read(&l.lock);
        if (l.englishTried) {
            const QByteArray ctx = group.toUtf8();
            const QByteArray src = id.toUtf8();
            QString s;
            if (l.current)
                s = l.current->translate(ctx.constData(), src.constData());
            if (s.isEmpty() && l.english)
                s = l.english->translate(ctx.constData(), src.constData());
            return s.isEmpty() ? id : s;
        }
    }
    {
        QWriteLocker write(&l.lock);
        ensureEnglish(l);
    }
    return lookup(id, group);
}

} // namespace

QString Change::TranslationDirectory()
{
    return CommonUtils::GetPluginLibraryPath() + QStringLiteral("/translations");
}

QString Change::tr(const QString& id, const QString& group)
{
    const QString full = lookup(id, group);
    const int tab = full.indexOf(QLatin1Char('\t'));
    return tab < 0 ? full : full.left(tab);
}

bool Change::tr(const QString& id, const QString& group, QString& text, QKeySequence& key)
{
    const QString full = lookup(id, group);
    const int tab = full.indexOf(QLatin1Char('\t'));
    if (tab < 0) {
        text = full;
        key = QKeySequence();
        return false;
    }
    text = full.left(tab);
    key = QKeySequence(full.mid(tab + 1), QKeySequence::PortableText);
    return !key.isEmpty();
}

bool Change::LoadLanguage(const QString& language)
{
    Languages& l = languages();
    QWriteLocker write(&l.lock);
    ensureEnglish(l);
    if (language == QLatin1String("en")) {
        l.current.reset();
        l.currentName = language;
        return l.english != nullptr;
    }
    std::unique_ptr<QTranslator> t = loadFile(language);
    if (!t)
        return false;
    l.current = std::move(t);
    l.currentName = language;
    return true;
}

QString Change::CurrentLanguage()
{
    Languages& l = languages();
    QReadLocker read(&l.lock);
    return l.currentName;
}

bool Change::IsRightToLeft()
{
    return QLocale(CurrentLanguage()).textDirection() == Qt::RightToLeft;
}

QStringList Change::AvailableLanguages()
{
    QStringList out;
    const QStringList files = QDir(TranslationDirectory()).entryList({QStringLiteral("host_*.qm")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        out << QFileInfo(f).completeBaseName().mid(5);
    return out;
}
