// The camera module: the capture dialog on Qt's multimedia.
#include "platform/dialogs/camera_module.h"

#include "platform/modules/loadable_module.h"
#include "platform/qt_convert.h"

#include <QAudioInput>
#include <QCamera>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QImageCapture>
#include <QLabel>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMediaFormat>
#include <QMediaRecorder>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace vellum::platform {

namespace {

int JpegQuality(StillQuality quality)
{
    switch (quality) {
    case StillQuality::Low:
        return 40;
    case StillQuality::Normal:
        return 75;
    case StillQuality::High:
        return 95;
    case StillQuality::Default:
        break;
    }
    return 85;
}

class CameraDialog final : public QDialog {
public:
    CameraDialog(QWidget* parent, const CameraRequest& request, const std::filesystem::path& file)
        : QDialog(parent), request(request), file(QFile::decodeName(file.c_str()))
    {
        setWindowTitle(request.title.empty() ? QStringLiteral("Camera") : ToQString(request.title));
        auto* column = new QVBoxLayout(this);
        preview = new QVideoWidget(this);
        preview->setMinimumSize(160, 120);
        column->addWidget(preview, 1);
        status = new QLabel(this);
        column->addWidget(status);
        auto* row = new QHBoxLayout;
        shutter = new QPushButton(IsVideo() ? QStringLiteral("Record") : QStringLiteral("Take picture"), this);
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
        row->addWidget(shutter);
        row->addWidget(cancel);
        column->addLayout(row);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        connect(shutter, &QPushButton::clicked, this, [this] { Shutter(); });

        session.setCamera(&camera);
        session.setVideoOutput(preview);
        if (IsVideo()) SetUpVideo();
        else SetUpStill();
        connect(&camera, &QCamera::errorOccurred, this, [this] { reject(); });
        camera.start();
    }

private:
    bool IsVideo() const { return request.mode != CameraMode::Still; }

    void SetUpStill()
    {
        session.setImageCapture(&still);
        connect(&still, &QImageCapture::imageCaptured, this, [this](int, const QImage& image) {
            QImage picture = image;
            if (request.width > 0 && request.height > 0) {
                picture = picture.scaled(request.width, request.height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            }
            if (picture.save(file, "JPEG", JpegQuality(request.quality))) accept();
            else status->setText(QStringLiteral("The picture could not be saved."));
        });
        connect(&still, &QImageCapture::errorOccurred, this,
                [this](int, QImageCapture::Error, const QString& message) { status->setText(message); });
    }

    void SetUpVideo()
    {
        session.setRecorder(&recorder);
        if (request.mode == CameraMode::VideoWithSound) session.setAudioInput(&microphone);
        QMediaFormat format(QMediaFormat::MPEG4);
        format.setVideoCodec(QMediaFormat::VideoCodec::H264);
        if (request.mode == CameraMode::VideoWithSound) format.setAudioCodec(QMediaFormat::AudioCodec::AAC);
        recorder.setMediaFormat(format);
        if (request.messagingVideo) {
            recorder.setVideoResolution(176, 144);
            recorder.setQuality(QMediaRecorder::LowQuality);
        } else if (request.width > 0 && request.height > 0) {
            recorder.setVideoResolution(request.width, request.height);
        }
        recorder.setOutputLocation(QUrl::fromLocalFile(file));
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &recorder, &QMediaRecorder::stop);
        connect(&recorder, &QMediaRecorder::recorderStateChanged, this, [this](QMediaRecorder::RecorderState state) {
            if (state == QMediaRecorder::RecordingState) {
                shutter->setText(QStringLiteral("Stop"));
                if (request.timeLimitSeconds > 0) limit.start(request.timeLimitSeconds * 1000);
            } else if (state == QMediaRecorder::StoppedState && started) {
                if (QFile::exists(file)) accept();
                else reject();
            }
        });
        connect(&recorder, &QMediaRecorder::errorOccurred, this,
                [this](QMediaRecorder::Error, const QString& message) { status->setText(message); });
    }

    void Shutter()
    {
        if (!IsVideo()) {
            if (still.isReadyForCapture()) still.capture();
            return;
        }
        if (recorder.recorderState() == QMediaRecorder::RecordingState) {
            recorder.stop();
        } else {
            started = true;
            recorder.record();
        }
    }

    CameraRequest request;
    QString file;
    QCamera camera;
    QMediaCaptureSession session;
    QImageCapture still;
    QMediaRecorder recorder;
    QAudioInput microphone;
    QTimer limit;
    QVideoWidget* preview;
    QLabel* status;
    QPushButton* shutter;
    bool started = false;
};

bool HasCamera() { return !QMediaDevices::videoInputs().isEmpty(); }

bool Capture(QWidget* parent, const CameraRequest& request, const std::filesystem::path& file)
{
    CameraDialog dialog(parent, request, file);
    return dialog.exec() == QDialog::Accepted;
}

constexpr CameraModule kModule{HasCamera, Capture};

} // namespace

} // namespace vellum::platform

VELLUM_MODULE_ENTRY(vellum_camera_module)
{
    return &vellum::platform::kModule;
}
