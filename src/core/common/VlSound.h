// The host's sound player for alert sounds (WAV). Play() returns false when nothing can be played:
// a missing file or no audio output device is normal (e.g. on a build machine), not an error.
#pragma once

#include <QObject>
#include <QString>

class QSoundEffect;

class VlSound : public QObject
{
    Q_OBJECT
public:
    explicit VlSound(const QString& file = QString(), QObject* parent = nullptr);
    ~VlSound() override;

    void SetSoundFile(const QString& file);
    QString SoundFile() const { return m_strFile; }
    bool Play();
    void Stop();
    bool IsPlaying() const;

signals:
    void finished();

private:
    QString m_strFile;
    QSoundEffect* m_pEffect = nullptr;
    bool m_bPlaying = false;
};
