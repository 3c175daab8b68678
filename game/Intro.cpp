// The intro.
#include "game/Intro.h"

#include "audio/Sound.h"
#include "game/Controls.h"
#include "game/GameFiles.h"
#include "game/GameGlobals.h"
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/Handle.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

namespace vanta::game {

Ref<String> ScrollerText()
{
    // Five sections apart by runs of 15 or 16 spaces; capitals only, the web address aside (the default
    // font has no accented letters).
    return "**** VANTAMAX PRESENTE : NOCTAMBULE, UNE BALADE AU CLAIR DE LUNE ****"
           "                "
           "CETTE VERSION A ETE ENTIEREMENT REECRITE EN C++ : SES IMAGES, SES MUSIQUES ET SA POLICE SONT "
           "CALCULEES PAR NOTRE PROPRE CODE"
           "               "
           "MERCI A TOUTE L'EQUIPE : AUX PROGRAMMEURS DU MOTEUR, DU SON ET DE L'AFFICHAGE, AUX DESSINATEURS "
           "DE PIXELS, AU COMPOSITEUR DES DEUX MUSIQUES, AUX TESTEURS DE NUIT ... ET A VOUS QUI JOUEZ"
           "               "
           "VISITEZ NOTRE SITE www.vantamax.example POUR LES NOUVELLES ET LA DERNIERE VERSION"
           "               "
           "**** APPUYER SUR ECHAP POUR LANCER LE JEU ****"_s;
}

std::int32_t StepScroller()
{
    GameGlobals& g = Globals();
    // Fixed limits, not the text's drawn width: -4500 is still drawn, the step after it is 800.
    g.scrollerX -= 2;
    if (g.scrollerX < -4500) g.scrollerX = 800;
    return g.scrollerX;
}

void ShowLogo()
{
    GameGlobals& g = Globals();
    RegisterGameFile("intro/logo-zelkor.jpg");
    g.logoImage = ObjectToHandle(LoadImage("incbin::intro/logo-zelkor.jpg"_s, -1));
    while (g.logoFrame <= 100) {
        DrawImage(HandleToObject<TImage>(g.logoImage), 0.0f, 0.0f, 0);
        g.logoFrame += 1;
        FlipGraphics();
        ClearGraphics();
    }
}

void ShowTitle()
{
    GameGlobals& g = Globals();
    RegisterGameFile("intro/intromusic.ogg");
    g.introMusic = ObjectToHandle(LoadSound("incbin::intro/intromusic.ogg"_s, 1));
    g.introChannel = ObjectToHandle(PlaySound(HandleToObject<TSound>(g.introMusic)));

    RegisterGameFile("intro/introtitre.jpg");
    g.titleImage = ObjectToHandle(LoadImage("incbin::intro/introtitre.jpg"_s, -1));

    const Ref<String> text = ScrollerText();
    while (EscapeHits() == 0) {
        DrawImage(HandleToObject<TImage>(g.titleImage), 0.0f, 0.0f, 0);
        DrawText(text, static_cast<float>(g.scrollerX), 446.0f);
        StepScroller();
        FlipGraphics();
        ClearGraphics();
    }
}

} // namespace vanta::game
