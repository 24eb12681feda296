#pragma once
// The animation control: plays a silent AVI clip whose frames are uncompressed DIBs or
// RLE8, the kind of clip the waiting and splash windows carry. Any other file (missing,
// unreadable, another codec, a sound stream) opens as nothing and the control stays empty.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct AviClip {
    int width = 0;
    int height = 0;
    int frameIntervalMs = 0;
    std::vector<QImage> frames;  // every frame whole, RGB32
};

// Decodes a clip from the bytes of an AVI file; nullopt for anything the control does
// not play.
std::optional<AviClip> DecodeAviClip(std::string_view bytes);

class AviPlayer : public QWidget {
  public:
    explicit AviPlayer(QWidget* parent = nullptr);

    // Opens a clip; false (and an empty control) when the file is missing or not playable.
    bool Open(const std::string& path);
    // Plays from the first frame, repeating until Stop or Close.
    void Play();
    void Stop();
    void Close();

    bool IsOpen() const { return clip_.has_value(); }
    bool IsPlaying() const { return timer_.isActive(); }
    int FrameCount() const { return clip_ ? static_cast<int>(clip_->frames.size()) : 0; }
    int CurrentFrame() const { return current_; }
    // Moves to the next frame as the timer does.
    void Advance();

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::optional<AviClip> clip_;
    QTimer timer_;
    int current_ = 0;
};
