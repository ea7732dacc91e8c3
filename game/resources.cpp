#include "resources.h"

#include "ResourceManager.h"

namespace ks {

int loadGameResources(const std::string& folder)
{
    ResourceManager& resources = ResourceManager::getInstance();
    int failed = 0;
    for (const GameResource& e : GAME_RESOURCES)
    {
        const std::string path = folder + e.file;
        int result = 0;
        switch (e.kind)
        {
        case ResourceKind::SPRITE: result = resources.loadSprite(path, e.label); break;
        case ResourceKind::SOUND: result = resources.loadSound(path, e.label); break;
        case ResourceKind::MUSIC: result = resources.loadMusic(path, e.label); break;
        }
        if (result != 0)
            failed++;
    }
    return failed;
}

} // namespace ks
