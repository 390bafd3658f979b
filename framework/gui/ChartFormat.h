#pragma once
// The formats the chart's pictures are written in, and the file-name extensions that name them.
// Needs no Qt: the command line, which loads the chart only when --plot asks for it, reads it too.
#include <optional>
#include <string_view>

enum class ChartFormat { Png, Svg, Pdf };

// The format an extension (without its dot, in any case: "png", "SVG") names; none for another.
inline std::optional<ChartFormat> ChartFormatOfExtension(std::string_view extension)
{
    const auto is = [extension](std::string_view name) {
        if (extension.size() != name.size()) return false;
        for (std::size_t i = 0; i < name.size(); ++i)
            if ((extension[i] | 0x20) != name[i]) return false; // ASCII letters only: any case
        return true;
    };
    if (is("png")) return ChartFormat::Png;
    if (is("svg")) return ChartFormat::Svg;
    if (is("pdf")) return ChartFormat::Pdf;
    return std::nullopt;
}
