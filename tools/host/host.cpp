// orvanta-host: a command-line chat-robot host. It loads a plug-in file as a
// chat-robot host does, shows the descriptor, and passes messages to the
// reply handler; it can also call any export by name.
#include <cstdio>
#include <string>
#include <vector>

#include "host_platform.h"

namespace {

using namespace orvanta_host;

constexpr char kHelp[] = R"(Usage: orvanta-host [OPTION]... [PLUGIN]

Loads the chat-robot plug-in PLUGIN (default: Orvanta.cqp beside orvanta-host),
calls its export "info" and shows the descriptor, then passes messages to its
reply handler "Velquor" and shows each reply. Messages come from the -m
options, or else from standard input, one a line (with a prompt on a terminal;
end with Ctrl-D, or on Windows with Ctrl-Z and Enter).
Text is converted between the terminal's UTF-8 and the plug-in's GBK; in replies
"[enter]" shows as a line break and "[cqname]" as the name that -n sets.

  -m, --message TEXT    send TEXT (may be given more than once)
  -t, --type TEXT       message type (default 1; type 2 obeys the chat switch)
  -s, --source TEXT     source number of the chat (default 10000)
      --extra1 TEXT     fourth text passed to the reply handler (default empty)
      --extra2 TEXT     fifth text passed to the reply handler (default empty)
  -n, --name TEXT       what "[cqname]" shows as (default: you)
      --call EXPORT [ARG]...
                        after "info", call the export EXPORT with the
                        arguments ARG (every argument after EXPORT) and show
                        its result (with --raw: its bytes alone); exports: info, 获取昵称 (1 argument),
                        取文本特定参数 (2), 取文本之间 (3), 取整形特定参数 (2),
                        去空格换行 (1), 时间格式化, Velquor (5)
  -q, --quiet           do not show the descriptor
      --raw             standard input and output carry the plug-in's GBK bytes
                        unchanged and placeholders stay as they are; the
                        descriptor is written as returned, each reply is
                        followed by one line feed, an empty reply is an empty line
  -h, --help            show this help

Exit status: 0 on success, 1 on a usage error, 2 when the plug-in cannot be
loaded or lacks an export.
)";

struct ExportInfo {
  const char* utf8_name;
  int arguments;
};

constexpr ExportInfo kExports[] = {
    {"info", 0},           {"获取昵称", 1},   {"取文本特定参数", 2}, {"取文本之间", 3},
    {"取整形特定参数", 2}, {"去空格换行", 1}, {"时间格式化", 0},     {"Velquor", 5},
};

struct Options {
  std::string plugin;
  std::vector<std::string> messages;
  std::string type = "1", source = "10000", extra1, extra2, name = "you";
  bool quiet = false, raw = false, help = false;
  std::string call;
  std::vector<std::string> call_arguments;
  bool calling = false;
};

using Export0 = const char*(ORVANTA_HOST_CALL*)();
using Export1 = const char*(ORVANTA_HOST_CALL*)(const char*);
using Export2 = const char*(ORVANTA_HOST_CALL*)(const char*, const char*);
using Export3 = const char*(ORVANTA_HOST_CALL*)(const char*, const char*, const char*);
using Export5 = const char*(ORVANTA_HOST_CALL*)(const char*, const char*, const char*, const char*,
                                                const char*);

// Calls an export with as many GBK arguments as it takes.
std::string Call(AnyFunction f, const std::vector<std::string>& a) {
  const char* result = nullptr;
  switch (a.size()) {
    case 0:
      result = reinterpret_cast<Export0>(f)();
      break;
    case 1:
      result = reinterpret_cast<Export1>(f)(a[0].c_str());
      break;
    case 2:
      result = reinterpret_cast<Export2>(f)(a[0].c_str(), a[1].c_str());
      break;
    case 3:
      result = reinterpret_cast<Export3>(f)(a[0].c_str(), a[1].c_str(), a[2].c_str());
      break;
    case 5:
      result = reinterpret_cast<Export5>(f)(a[0].c_str(), a[1].c_str(), a[2].c_str(), a[3].c_str(),
                                            a[4].c_str());
      break;
    default:
      break;
  }
  return result ? result : "";
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size())
    out.append(text, pos, hit - pos).append(to);
  out.append(text, pos, std::string::npos);
  return out;
}

int UsageError(const std::string& message) {
  WriteError("orvanta-host: " + message + "\nTry 'orvanta-host --help'.\n");
  return 1;
}

// Fills options from the command line; returns an error text, empty when fine.
std::string Parse(const std::vector<std::string>& args, Options& o) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    bool ok = true;
    if (a == "-h" || a == "--help") {
      o.help = true;
    } else if (a == "-q" || a == "--quiet") {
      o.quiet = true;
    } else if (a == "--raw") {
      o.raw = true;
    } else if (a == "-m" || a == "--message") {
      o.messages.emplace_back();
      ok = value(o.messages.back());
    } else if (a == "-t" || a == "--type") {
      ok = value(o.type);
    } else if (a == "-s" || a == "--source") {
      ok = value(o.source);
    } else if (a == "--extra1") {
      ok = value(o.extra1);
    } else if (a == "--extra2") {
      ok = value(o.extra2);
    } else if (a == "-n" || a == "--name") {
      ok = value(o.name);
    } else if (a == "--call") {
      if (!value(o.call)) return "--call needs an export name";
      o.calling = true;
      o.call_arguments.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else if (o.plugin.empty()) {
      o.plugin = a;
    } else {
      return "more than one plug-in file given";
    }
    if (!ok) return a + " needs a value";
  }
  return {};
}

class Host {
 public:
  Host(const Options& options, void* library) : o_(options), library_(library) {}

  std::string Gbk(const std::string& utf8) const { return Utf8ToGbk(utf8); }

  int ShowDescriptor(AnyFunction info) {
    const std::string descriptor = Call(info, {});
    if (o_.quiet) return 0;
    if (o_.raw) {
      Write(descriptor, true);
      return 0;
    }
    std::string shown = "Descriptor:\n";
    std::size_t pos = 0, line = 1;
    while (pos < descriptor.size()) {
      std::size_t end = descriptor.find("\r\n", pos);
      if (end == std::string::npos) end = descriptor.size();
      shown += (line < 10 ? "   " : "  ") + std::to_string(line) + "  " +
               GbkToUtf8(descriptor.substr(pos, end - pos)) + "\n";
      ++line;
      pos = end + 2;
    }
    Write(shown, false);
    return 0;
  }

  void Reply(AnyFunction velquor, const std::string& message) {
    const std::string reply =
        Call(velquor, {message, Gbk(o_.type), Gbk(o_.source), Gbk(o_.extra1), Gbk(o_.extra2)});
    if (o_.raw) {
      Write(reply + "\n", true);
    } else if (reply.empty()) {
      Write("(no reply)\n", false);
    } else {
      const std::string text =
          ReplaceAll(ReplaceAll(GbkToUtf8(reply), "[enter]", "\n"), "[cqname]", o_.name);
      Write(text + "\n", false);
    }
  }

  int Chat(AnyFunction velquor) {
    for (const std::string& m : o_.messages) Reply(velquor, Gbk(m));
    if (!o_.messages.empty()) return 0;
    const bool prompt = InputIsTerminal();
    std::string line;
    for (;;) {
      if (prompt) Write("> ", false);
      if (!ReadLine(line)) break;
      // On a terminal the line arrives as UTF-8 even in raw mode.
      Reply(velquor, o_.raw && !prompt ? line : Gbk(line));
    }
    if (prompt) Write("\n", false);
    return 0;
  }

  int CallOne(AnyFunction f, int arguments) {
    if (static_cast<int>(o_.call_arguments.size()) != arguments)
      return UsageError(o_.call + " takes " + std::to_string(arguments) + " argument(s)");
    std::vector<std::string> gbk;
    for (const std::string& a : o_.call_arguments) gbk.push_back(Gbk(a));
    const std::string result = Call(f, gbk);
    Write(o_.raw ? result : GbkToUtf8(result) + "\n", o_.raw);
    return 0;
  }

  AnyFunction Find(const char* utf8_name) const { return FindExport(library_, Gbk(utf8_name)); }

 private:
  const Options& o_;
  void* library_;
};

int Run(const Options& o) {
  const std::string path = o.plugin.empty() ? OwnDirectory() + "/Orvanta.cqp" : o.plugin;
  std::string error;
  void* library = OpenLibrary(path, error);
  if (!library) {
    WriteError("orvanta-host: cannot load " + path + ": " + error + "\n");
    return 2;
  }
  Host host(o, library);
  int status = 0;
  const AnyFunction info = host.Find("info");
  const AnyFunction velquor = host.Find("Velquor");
  if (!info || (!o.calling && !velquor)) {
    WriteError("orvanta-host: " + path + " lacks the export " + (info ? "Velquor" : "info") + "\n");
    status = 2;
  } else {
    host.ShowDescriptor(info);
    if (!o.calling) {
      status = host.Chat(velquor);
    } else {
      int arguments = -1;
      for (const ExportInfo& e : kExports)
        if (o.call == e.utf8_name) arguments = e.arguments;
      const AnyFunction f = arguments < 0 ? nullptr : host.Find(o.call.c_str());
      if (arguments < 0) {
        status = UsageError("unknown export " + o.call);
      } else if (!f) {
        WriteError("orvanta-host: " + path + " lacks the export " + o.call + "\n");
        status = 2;
      } else {
        status = host.CallOne(f, arguments);
      }
    }
  }
  CloseLibrary(library);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  InitStreams();
  Options options;
  const std::string error = Parse(Arguments(argc, argv), options);
  if (!error.empty()) return UsageError(error);
  if (options.help) {
    Write(kHelp, false);
    return 0;
  }
  return Run(options);
}
