// Turns the text pixel maps under assets/ into the files the program and its
// Windows resources embed.
//
//   pixelmap bitmap OUT.bmp MAP.txt
//   pixelmap icon OUT.ico MAP.txt...
//   pixelmap icon-image OUT.bin MAP.txt
//   pixelmap icon-group OUT.bin ID:MAP.txt...
//   pixelmap png OUT.png SCALE MAP.txt
//   pixelmap source OUT.cpp NAME:MAP.txt...
#include "PixelMap.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace {

PixelMap load(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    try {
        return PixelMap::parse(text.str());
    } catch (const std::runtime_error &error) {
        throw std::runtime_error(path + ": " + error.what());
    }
}

void save(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

int run(int argc, char *argv[])
{
    if (argc < 4) {
        std::cerr
            << "usage: pixelmap bitmap|icon|icon-image|icon-group|png|source OUT [SCALE] MAP...\n";
        return 2;
    }
    const std::string command = argv[1];
    const std::string output = argv[2];
    std::vector<PixelMap> maps;
    std::vector<std::uint16_t> ids;
    std::vector<std::string> names;
    int scale = 1;
    int first = 3;
    if (command == "png") {
        scale = std::stoi(argv[3]);
        first = 4;
    }
    for (int i = first; i < argc; ++i) {
        std::string path = argv[i];
        if (command == "icon-group") {
            const auto colon = path.find(':');
            if (colon == std::string::npos)
                throw std::runtime_error("icon-group takes ID:MAP.txt");
            ids.push_back(static_cast<std::uint16_t>(std::stoul(path.substr(0, colon))));
            path = path.substr(colon + 1);
        } else if (command == "source") {
            const auto colon = path.find(':');
            if (colon == std::string::npos)
                throw std::runtime_error("source takes NAME:MAP.txt");
            names.push_back(path.substr(0, colon));
            path = path.substr(colon + 1);
        }
        maps.push_back(load(path));
    }
    if (command == "bitmap" && maps.size() == 1)
        save(output, bitmapFile(maps[0]));
    else if (command == "icon")
        save(output, iconFile(maps));
    else if (command == "icon-image" && maps.size() == 1)
        save(output, iconImage(maps[0]));
    else if (command == "icon-group")
        save(output, iconGroup(maps, ids));
    else if (command == "png" && maps.size() == 1)
        save(output, pngFile(maps[0], scale));
    else if (command == "source") {
        std::vector<std::pair<std::string, PixelMap>> images;
        for (std::size_t i = 0; i < maps.size(); ++i)
            images.emplace_back(names[i], maps[i]);
        const std::string text = sourceFile(images);
        save(output, Bytes(text.begin(), text.end()));
    } else
        throw std::runtime_error("unknown command or wrong number of maps: " + command);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    try {
        return run(argc, argv);
    } catch (const std::exception &error) {
        std::cerr << "pixelmap: " << error.what() << '\n';
        return 1;
    }
}
