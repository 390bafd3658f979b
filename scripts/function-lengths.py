#!/usr/bin/env python3
"""Lists the C++ functions of the tracked sources (tests/ left out) longer than N lines, longest first.

    scripts/function-lengths.py [-n N] [--top K] [PATH...]

A heuristic, not a parser: comments, strings and preprocessor lines are blanked, then braces are
matched. A brace opens a function when the text before it (back to the last ';', '{' or '}')
holds a parenthesis, starts with no control keyword and is not an initializer, and no function
encloses it: a lambda counts towards the function it is written in. A function's length runs
from the line its header starts on to the line of its closing brace.
"""
import argparse
import bisect
import re
import subprocess
import sys

CONTROL = re.compile(r"^(if|for|while|switch|catch|do|else|try|return|case|default)\b")
SCOPE = re.compile(r"\b(namespace|class|struct|union|enum)\b")


def blank(text):
    """The text with comments, string and character literals and preprocessor lines blanked, lines kept."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            # a directive, with its continuation lines
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    out.append(" \n")
                    i += 2
                    continue
                out.append(" ")
                i += 1
            continue
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out.append(" ")
                i += 1
            continue
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
            continue
        raw = re.match(r'R"([^(\s]*)\(', text[i:i + 20])
        if raw and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            end = text.find(")" + raw.group(1) + '"', i)
            end = n if end < 0 else end + len(raw.group(1)) + 2
            out.append('"' + re.sub(r"[^\n]", " ", text[i + 1:end - 1]) + '"')
            i = end
            continue
        if c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):  # 1'000'000 is a number
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + (c if j < n else ""))
            i = j + 1
            continue
        out.append(c)
        line_start = c == "\n" or (line_start and c in " \t")
        i += 1
    return "".join(out)


def initializer(header):
    """Whether the header ends in an initializer: an '=' outside parentheses and brackets."""
    depth = 0
    header = re.sub(r"operator\s*\S*=|[=!<>]=", "", header)
    for c in header:
        depth += c in "([" and 1 or c in ")]" and -1 or 0
        if c == "=" and depth == 0:
            return True
    return False


def functions(path):
    """Yields (length, first line, name) for each function defined in the file at `path`."""
    with open(path, encoding="utf-8", errors="replace") as f:
        text = blank(f.read())
    newlines = [i for i, c in enumerate(text) if c == "\n"]
    stack = []  # for each open brace: (is a function, its header's first line, its name)
    header_start = 0
    for i, c in enumerate(text):
        if c not in "{};":
            continue
        header = text[header_start:i]
        stripped = header.lstrip()
        header_line = bisect.bisect_left(newlines, i - len(stripped)) + 1
        header_start = i + 1
        if c == ";":
            continue
        if c == "}":
            if stack:
                is_function, first, name = stack.pop()
                if is_function:
                    yield bisect.bisect_left(newlines, i) + 1 - first + 1, first, name
            continue
        inside_function = any(entry[0] for entry in stack)
        flat = " ".join(stripped.split())
        flat = re.sub(r"^(public|private|protected)\s*:\s*", "", flat)
        before_paren = flat.split("(", 1)[0]
        is_function = (
            not inside_function
            and "(" in flat
            and not CONTROL.match(flat)
            and not SCOPE.search(before_paren)
            and not initializer(flat)
        )
        name = ""
        if is_function:
            match = re.search(r"([\w:~]+(?:operator\s*\S+?)?)\s*\($", before_paren + "(")
            name = match.group(1) if match else before_paren.strip()
        stack.append((is_function, header_line, name))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-n", type=int, default=50, help="list functions longer than this many lines (50)")
    parser.add_argument("--top", type=int, default=0, help="list only the K longest")
    parser.add_argument("paths", nargs="*", help="folders or files to look in (the whole tree by default)")
    args = parser.parse_args()
    files = subprocess.run(["git", "ls-files", "--", *(args.paths or ["."])], capture_output=True, text=True,
                           check=True).stdout.split()
    found = []
    for path in files:
        if not path.endswith((".cpp", ".h")) or path.startswith("tests/") or "/tests/" in path:
            continue
        for length, first, name in functions(path):
            if length > args.n:
                found.append((length, f"{path}:{first}", name))
    found.sort(key=lambda entry: (-entry[0], entry[1]))
    if args.top:
        found = found[: args.top]
    for length, where, name in found:
        print(f"{length:5}  {where}  {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
