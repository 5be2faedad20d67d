#include "movie/render/MovieRenderer.h"

#include "movie/render/CharacterLibrary.h"
#include "movie/render/FrameRenderer.h"

namespace kestrava {

class TMovieRenderer::TMovieSource : public render::ICharacterSource {
 public:
  explicit TMovieSource(const TSwfMovie& movie) : movie_(movie) {}
  const TSwfCharacter* Character(uint16_t id) const override { return movie_.Character(id); }
  std::span<const uint8_t> JpegTables() const override { return movie_.JpegTables(); }
  uint8_t Version() const override { return movie_.Version(); }

 private:
  const TSwfMovie& movie_;
};

TMovieRenderer::TMovieRenderer(std::shared_ptr<const TSwfMovie> movie)
    : movie_(std::move(movie)),
      source_(std::make_unique<TMovieSource>(*movie_)),
      renderer_(std::make_unique<render::TFrameRenderer>(*source_)) {}

TMovieRenderer::~TMovieRenderer() = default;

void TMovieRenderer::Render(const TDisplayFrame& frame, TBitmap& target) {
  renderer_->Render(frame, movie_->FrameRect(), target);
}

void TMovieRenderer::SetAntialias(bool on) {
  renderer_->SetAntialias(on);
}

}  // namespace kestrava
