#include "app/CliArguments.h"

#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"

#include <algorithm>

const char* const kCliUsage =
    "Использование: rootfinder-cli [ПАРАМЕТР]... A B H EPS\n"
    "\n"
    "Находит корни функции f(x) = e^x / x^3 - sin(x)^3 - 2 на отрезке [A; B]:\n"
    "ищет смену знака с шагом H и уточняет каждый корень методом секущих\n"
    "с точностью EPS. Числа записываются с точкой или запятой; отрицательное\n"
    "число не принимается за параметр.\n"
    "В стандартный вывод пишется отчёт, строка за строкой.\n"
    "\n"
    "  --points ФАЙЛ  записать точки графика в CSV (x,y)\n"
    "  --plot ФАЙЛ    нарисовать график в PNG или SVG (по расширению файла)\n"
    "  --roots ФАЙЛ   записать в CSV каждую строку корня с доказанным вердиктом\n"
    "                 (n,root,f_root,updates,left,right,in_step,status,lower,upper,\n"
    "                 pole_in_step,distance):\n"
    "                 root — нуль f не дальше EPS от найденного значения;\n"
    "                 [lower; upper] — его самый узкий интервал в числах double,\n"
    "                 distance — оценка сверху расстояния до него,\n"
    "                 pole — шаг содержит полюс x = 0 и нуля ближе EPS нет,\n"
    "                 no-root — нуля ближе EPS нет, undecided — не доказано,\n"
    "                 not-finite — корень или f в нём не число;\n"
    "                 pole_in_step — шаг содержит полюс x = 0 (true или false)\n"
    "  --all-roots ФАЙЛ  записать в CSV все нули f на отрезке, каждый в доказанном\n"
    "                 интервале уже EPS (а где EPS меньше шага чисел double — между\n"
    "                 двумя соседними) (lower,upper,status,lines); lines — номера\n"
    "                 строк отчёта не дальше EPS от нуля, пусто — сканирование\n"
    "                 его пропустило\n"
    "  -h, --help     показать эту справку\n"
    "  --version      показать версию\n"
    "  --             дальше только числа A B H EPS\n"
    "Значение можно писать и через «=»: --points=ФАЙЛ.\n"
    "\n"
    "Файлы проверяются до расчёта и появляются (или заменяются, сохраняя права\n"
    "доступа) только после успешного расчёта и записи отчёта. Если после замены\n"
    "одних файлов не удалось заменить другой, сообщение называет уже заменённые.\n"
    "Файл, в который перенаправлен стандартный вывод или поток ошибок или из\n"
    "которого читает стандартный ввод, не принимается; устройство или канал\n"
    "(/dev/null) записывается на месте. «-» не принимается: отчёт и так идёт\n"
    "в стандартный вывод; файл с именем «-» назовите «./-».\n"
    "\n"
    "Код выхода: 0 — расчёт завершён; 1 — ошибка прервала расчёт или не удалось\n"
    "записать отчёт или файл; 2 — неверные параметры (неизвестный или повторённый\n"
    "параметр, нет имени файла, один файл назван дважды, файл стандартного\n"
    "потока или «-», не четыре числа, неизвестное значение ROOTFINDER_SIMD).\n";

const std::array<OutputFileOption, kOutputFileCount> kOutputFileOptions = {{
    {OutputFile::Points, "--points"},
    {OutputFile::Plot, "--plot"},
    {OutputFile::Roots, "--roots"},
    {OutputFile::AllRoots, "--all-roots"},
}};

namespace {

bool ConvertsToNumber(std::string_view text)
{
    try {
        StrToFloat(text);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

// A negative number is a value, never an option.
bool IsOption(std::string_view argument)
{
    return argument.size() > 1 && argument.front() == '-' && !ConvertsToNumber(argument);
}

} // namespace

std::vector<std::pair<std::string_view, const std::string*>> CliArguments::Files() const
{
    std::vector<std::pair<std::string_view, const std::string*>> files;
    for (const OutputFileOption& option : kOutputFileOptions)
        if (const auto& file = File(option.file)) files.emplace_back(option.name, &*file);
    return files;
}

std::variant<CliArguments, std::string> ParseCliArguments(const std::vector<std::string_view>& arguments)
{
    CliArguments parsed;
    std::size_t positional = 0;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (optionsEnded || !IsOption(argument)) {
            if (positional == parsed.inputs.size()) return "лишний аргумент " + QuoteForMessage(argument);
            parsed.inputs[positional++] = argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = argument.starts_with("--") ? argument.find('=') : std::string_view::npos;
        const std::string_view name = argument.substr(0, equals);
        if (name == "-h" || name == "--help" || name == "--version") {
            if (equals != std::string_view::npos) return "параметр " + std::string(name) + " не принимает значения";
            parsed.action = name == "--version" ? CliArguments::Action::Version : CliArguments::Action::Help;
            return parsed;
        }
        const auto option = std::find_if(kOutputFileOptions.begin(), kOutputFileOptions.end(),
                                         [&](const OutputFileOption& o) { return o.name == name; });
        if (option == kOutputFileOptions.end()) return "неизвестный параметр " + QuoteForMessage(argument);
        std::string_view value;
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else {
            if (i + 1 == arguments.size()) return "после " + std::string(name) + " нужно имя файла";
            value = arguments[++i];
        }
        if (value.empty()) return "после " + std::string(name) + " нужно имя файла, а не пустая строка";
        // The report already goes to stdout, so "-" cannot mean it here.
        if (value == "-")
            return "после " + std::string(name) +
                   " «-» не значит стандартный вывод: туда идёт отчёт; файл с именем «-» "
                   "назовите «./-»";
        auto& file = parsed.files[static_cast<std::size_t>(option->file)];
        if (file) return std::string(name) + " задан дважды";
        file = std::string(value);
    }
    if (positional < parsed.inputs.size()) return "нужны четыре числа: A B H EPS";
    return parsed;
}
