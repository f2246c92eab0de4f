#include "CommandLine.h"

#include <string_view>

namespace cli {

const char* const kUsage
    = "Usage: leafbind-export -o OUT.pdf [options] [JPEG ...]\n"
      "Puts JPEG files into one PDF, one page each, the JPEG bytes unchanged.\n"
      "\n"
      "  -o, --output FILE   the PDF to write; \"-\" writes to standard output\n"
      "  -l, --list FILE     add the entries of an image list file (\"-\" reads standard input);\n"
      "                      may be given several times; entries and JPEG arguments are taken\n"
      "                      in command-line order\n"
      "  -f, --force         replace OUT.pdf if it exists\n"
      "      --auto-orient   show each page upright as its EXIF orientation says\n"
      "  -q, --quiet         no progress, no messages except errors\n"
      "  -h, --help          show this text\n"
      "      --version       show the version\n"
      "\n"
      "Exit status: 0 written; 1 an entry cannot become a page; 2 usage error or unreadable list;\n"
      "3 the output cannot be created; 4 failed while writing (a partial file is removed).\n";

namespace {

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) { }

    CommandLine Run()
    {
        bool onlyFiles = false;
        for (next_ = 0; next_ < args_.size() && result_.error.empty();) {
            const std::string& arg = args_[next_++];
            if (onlyFiles || arg.size() < 2 || arg[0] != '-')
                AddFile(arg);
            else if (arg == "--")
                onlyFiles = true;
            else if (arg.starts_with("--"))
                LongOption(arg);
            else
                ShortOptions(arg);
        }
        return Finish();
    }

private:
    void AddFile(const std::string& path)
    {
        if (path == "-")
            Fail("a JPEG cannot come from standard input (a list can: -l -)");
        else
            result_.sources.push_back({false, path});
    }

    void LongOption(const std::string& arg)
    {
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const bool hasValue = equals != std::string::npos;
        if (name == "--output" || name == "--list") {
            std::string value;
            if (hasValue)
                value = arg.substr(equals + 1);
            else if (!TakeValue(name, value))
                return;
            Valued(name == "--output" ? 'o' : 'l', value);
            return;
        }
        if (hasValue)
            return Fail("option " + name + " takes no value");
        if (name == "--force")
            Flag('f');
        else if (name == "--quiet")
            Flag('q');
        else if (name == "--help")
            Flag('h');
        else if (name == "--auto-orient")
            result_.autoOrient = true;
        else if (name == "--version")
            version_ = true;
        else
            Fail("unknown option " + name);
    }

    // A cluster such as "-fq" or "-oOUT.pdf": flags, then at most one option with a value.
    void ShortOptions(const std::string& arg)
    {
        for (size_t i = 1; i < arg.size(); ++i) {
            const char c = arg[i];
            if (c == 'o' || c == 'l') {
                std::string value = arg.substr(i + 1);
                if (value.empty() && !TakeValue(std::string("-") + c, value))
                    return;
                Valued(c, value);
                return;
            }
            if (c != 'f' && c != 'q' && c != 'h')
                return Fail(std::string("unknown option -") + c);
            Flag(c);
        }
    }

    bool TakeValue(const std::string& option, std::string& value)
    {
        if (next_ >= args_.size()) {
            Fail("option " + option + " needs a file name");
            return false;
        }
        value = args_[next_++];
        return true;
    }

    void Flag(char c)
    {
        if (c == 'f')
            result_.force = true;
        else if (c == 'q')
            result_.quiet = true;
        else
            help_ = true;
    }

    void Valued(char c, const std::string& value)
    {
        if (value.empty())
            return Fail(c == 'o' ? "the output file name is empty" : "the list file name is empty");
        if (c == 'l') {
            if (value == "-" && ++standardInputLists_ > 1)
                return Fail("standard input can be read only once");
            result_.sources.push_back({true, value});
            return;
        }
        if (!result_.output.empty())
            return Fail("only one output file can be given");
        result_.output = value;
    }

    void Fail(const std::string& error)
    {
        if (result_.error.empty())
            result_.error = error;
    }

    CommandLine Finish()
    {
        if (!result_.error.empty())
            result_.action = CommandLine::Action::UsageError;
        else if (help_)
            result_.action = CommandLine::Action::Help;
        else if (version_)
            result_.action = CommandLine::Action::Version;
        else if (result_.output.empty())
            Fail("no output file given (-o OUT.pdf)");
        else if (result_.sources.empty())
            Fail("no JPEG files given");
        else
            result_.action = CommandLine::Action::Export;
        return result_;
    }

    const std::vector<std::string>& args_;
    size_t next_ = 0;
    CommandLine result_;
    bool help_ = false;
    bool version_ = false;
    int standardInputLists_ = 0;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) { return Parser(args).Run(); }

}  // namespace cli
