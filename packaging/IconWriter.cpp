// Writes the installed icons from the code that draws the window's title-bar
// icon, so the menu, the dock and the title bar always show one picture:
//   velmora-icon-writer <output dir> <size>...
// makes <dir>/<N>x<N>/apps/velmora.png for each size and
// <dir>/scalable/apps/velmora.svg.
#include <cstdio>

#include <juce_graphics/juce_graphics.h>

#include "Pictures.h"

namespace
{

using velmora::pictures::IconShape;

juce::String number(float v)
{
    return juce::String(v, 3).trimCharactersAtEnd("0").trimCharactersAtEnd(".");
}

juce::String svgPathData(const juce::Path& path)
{
    juce::String d;
    juce::Path::Iterator it(path);
    auto point = [&](float x, float y) { d << number(x) << ',' << number(y) << ' '; };
    while (it.next())
    {
        switch (it.elementType)
        {
            case juce::Path::Iterator::startNewSubPath:
                d << 'M';
                point(it.x1, it.y1);
                break;
            case juce::Path::Iterator::lineTo:
                d << 'L';
                point(it.x1, it.y1);
                break;
            case juce::Path::Iterator::quadraticTo:
                d << 'Q';
                point(it.x1, it.y1);
                point(it.x2, it.y2);
                break;
            case juce::Path::Iterator::cubicTo:
                d << 'C';
                point(it.x1, it.y1);
                point(it.x2, it.y2);
                point(it.x3, it.y3);
                break;
            case juce::Path::Iterator::closePath:
                d << "Z ";
                break;
        }
    }
    return d.trimEnd();
}

juce::String colour(juce::Colour c)
{
    return "#" + c.toDisplayString(false).toLowerCase();
}

juce::String svgShape(const IconShape& shape)
{
    juce::String e = "  <path d=\"" + svgPathData(shape.path) + "\"";
    if (! shape.stroke)
        return e + " fill=\"" + colour(shape.colour) + "\"/>\n";
    const auto& s = *shape.stroke;
    e << " fill=\"none\" stroke=\"" << colour(shape.colour) << "\" stroke-width=\""
      << number(s.getStrokeThickness()) << "\"";
    if (s.getJointStyle() != juce::PathStrokeType::mitered)
        e << " stroke-linejoin=\""
          << (s.getJointStyle() == juce::PathStrokeType::curved ? "round" : "bevel") << "\"";
    if (s.getEndStyle() != juce::PathStrokeType::butt)
        e << " stroke-linecap=\""
          << (s.getEndStyle() == juce::PathStrokeType::rounded ? "round" : "square") << "\"";
    return e + "/>\n";
}

bool writePng(const juce::File& file, int size)
{
    juce::Image image(juce::Image::ARGB, size, size, true);
    {
        juce::Graphics g(image);
        velmora::pictures::drawWindowIcon(g, size);
    }
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out(file);
    juce::PNGImageFormat png;
    return out.openedOk() && png.writeImageToStream(image, out);
}

bool writeSvg(const juce::File& file)
{
    const auto units = number(velmora::pictures::iconUnits);
    juce::String svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                       units + "\" height=\"" + units + "\" viewBox=\"0 0 " + units + " " + units +
                       "\">\n";
    for (const auto& shape : velmora::pictures::windowIconShapes())
        svg << svgShape(shape);
    svg << "</svg>\n";
    file.getParentDirectory().createDirectory();
    return file.replaceWithText(svg);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: %s <output dir> <size>...\n", argv[0]);
        return 2;
    }
    const juce::File dir = juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]);
    for (int i = 2; i < argc; ++i)
    {
        const int size = juce::String(argv[i]).getIntValue();
        const auto name = juce::String(size) + "x" + juce::String(size);
        if (size <= 0 || ! writePng(dir.getChildFile(name + "/apps/velmora.png"), size))
        {
            std::fprintf(stderr, "cannot write the %s icon\n", argv[i]);
            return 1;
        }
    }
    if (! writeSvg(dir.getChildFile("scalable/apps/velmora.svg")))
    {
        std::fprintf(stderr, "cannot write the SVG icon\n");
        return 1;
    }
    return 0;
}
