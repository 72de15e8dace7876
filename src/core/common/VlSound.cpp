#include "VlSound.h"

#include <QAudioDeviceInfo>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace {
// Asking the sound system for its outputs costs several milliseconds (it connects to the sound
// server each time), too much for every received message. The answer is kept for a while; a
// headset plugged in is noticed at the next alert after that.
bool haveAudioOutput()
{
    static QElapsedTimer checked;
    static bool available = false;
    if (!checked.isValid() || checked.hasExpired(30000)) {
        available = !QAudioDeviceInfo::availableDevices(QAudio::AudioOutput).isEmpty();
        checked.start();
    }
    return available;
}
}

VlSound::VlSound(const QString& file, QObject* parent) : QObject(parent), m_strFile(file) {}

VlSound::~VlSound() { Stop(); }

void VlSound::SetSoundFile(const QString& file)
{
    if (file == m_strFile)
        return;
    Stop();
    m_strFile = file;
    delete m_pEffect;
    m_pEffect = nullptr;
}

bool VlSound::Play()
{
    const QFileInfo info(m_strFile);
    if (!info.isFile() || !info.isReadable()) {
        qWarning("VlSound: sound file '%s' does not exist", qPrintable(m_strFile));
        return false;
    }
    if (info.suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) != 0) {
        qWarning("VlSound: '%s' is not a WAV file", qPrintable(m_strFile));
        return false;
    }
    if (!haveAudioOutput()) {
        qInfo("VlSound: no audio output device; '%s' not played", qPrintable(m_strFile));
        return false;
    }
    if (!m_pEffect) {
        m_pEffect = new QSoundEffect(this);
        connect(m_pEffect, &QSoundEffect::playingChanged, this, [this] {
            if (m_bPlaying && !m_pEffect->isPlaying()) {
                m_bPlaying = false;
                emit finished();
            }
        });
        connect(m_pEffect, &QSoundEffect::statusChanged, this, [this] {
            if (m_pEffect->status() == QSoundEffect::Error && m_bPlaying) {
                qWarning("VlSound: cannot play '%s'", qPrintable(m_strFile));
                m_bPlaying = false;
                emit finished();
            }
        });
        m_pEffect->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    }
    m_bPlaying = true;
    m_pEffect->play();
    return true;
}

void VlSound::Stop()
{
    if (m_pEffect && m_bPlaying) {
        m_bPlaying = false;
        m_pEffect->stop();
    }
}

bool VlSound::IsPlaying() const { return m_bPlaying; }
