// The level's parallax strips.
#include "game/Layer.h"

#include "game/GameGlobals.h"
#include "game/Level.h"
#include "graphics/Draw.h"
#include "graphics/Image.h"
#include "runtime/Handle.h"

namespace vanta::game {

void TLayer::Update()
{
    x += speed;
    // Back to 0, not by a whole strip width: a speed that does not divide 640 makes a shorter step here.
    if (x < -639) x = 0;
    if (x > 639) x = 0;
}

void TLayer::Draw()
{
    const auto fx = static_cast<float>(x);
    const auto fy = static_cast<float>(y);
    DrawImage(HandleToObject<TImage>(image), fx, fy, 0);
    DrawImage(HandleToObject<TImage>(image), static_cast<float>(x + 640), fy, 0);
    DrawImage(HandleToObject<TImage>(image), static_cast<float>(x - 640), fy, 0);
}

Ref<TLayer> NewLayer(std::int32_t image, std::int32_t x, std::int32_t y, std::int32_t speed)
{
    Ref<TLayer> layer = New<TLayer>();
    layer->image = image;
    layer->x = x;
    layer->y = y;
    layer->speed = speed;
    ListAddLast(Globals().layers, layer);
    return layer;
}

void UpdateLayers()
{
    if (FrameGate() == 0) return;
    Ref<TListEnumerator> layers = Globals().layers->ObjectEnumerator();
    while (layers->HasNext() != 0) {
        if (Ref<TLayer> layer = Downcast<TLayer>(layers->NextObject())) layer->Update();
    }
}

void DrawLayers()
{
    Ref<TListEnumerator> layers = Globals().layers->ObjectEnumerator();
    while (layers->HasNext() != 0) {
        if (Ref<TLayer> layer = Downcast<TLayer>(layers->NextObject())) layer->Draw();
    }
}

} // namespace vanta::game
