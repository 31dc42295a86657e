// sfxpack sign: Authenticode for a package, through Debian's osslsigncode. The package is read
// before the signer sees it and again afterwards, and the signed file takes the output's place
// only then: a signer that moved or cut the package's bytes, or a signature that does not
// verify, costs the publisher nothing.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "package/trailer.h"
#include "platform/file.h"
#include "tools/commands.h"
#include "tools/package_reader.h"
#include "tools/pending_output.h"

extern char** environ;

namespace sfxpack {

namespace {
const char kUsage[] =
    "usage: sfxpack sign SETUP.EXE (--cert CERT.PEM --key KEY.PEM | --pkcs12 FILE.P12)\n"
    "                   [--pass-file FILE] [--ca CHAIN.PEM] [--timestamp URL] [-o SIGNED.EXE]\n"
    "\n"
    "Signs a package (Authenticode) with Debian's osslsigncode. A signature the package\n"
    "already carries is replaced. The signed file must read as the same package, its checksum\n"
    "must still match and osslsigncode must verify its signature; only then does it take the\n"
    "output's place. On any failure the files are left as they were.\n"
    "\n"
    "  --cert CERT.PEM     the certificate (PEM; the certificates of its chain may follow it)\n"
    "  --key KEY.PEM       its private key (PEM)\n"
    "  --pkcs12 FILE.P12   the certificate and key in one PKCS#12 (.pfx) file instead\n"
    "  --pass-file FILE    a file whose first line is the password of the key or the PKCS#12\n"
    "                      file; a password is never taken on the command line, where every\n"
    "                      user of the machine can read it\n"
    "  --ca CHAIN.PEM      the trusted certificates the signature is verified against, for a\n"
    "                      certificate a CA issued (default: the certificate itself, which is\n"
    "                      right for a self-signed one)\n"
    "  --timestamp URL     have the time-stamp server at URL countersign (osslsigncode -t),\n"
    "                      so that the signature stays valid after the certificate expires\n"
    "  -o, --output FILE   where the signed package goes; default: SETUP.EXE itself\n"
    "\n"
    "Exit status: 0 signed, 1 an input or the signature was refused, 2 a usage error.\n";

// The only files the signing makes in its scratch folder.
const char kSignedName[] = "signed.exe";
const char kCertificateName[] = "certificate.pem";

// The scratch folder and the running tool, for the signal handler: a Ctrl-C or a kill in the
// middle leaves no folder behind and no signer writing into one.
char gScratch[4096];
volatile pid_t gChild = 0;

void RemoveScratchFiles(const char* folder) {
    char path[sizeof gScratch + 32];
    for (const char* name : {kSignedName, kCertificateName}) {
        std::strcpy(path, folder);
        std::strcat(path, "/");
        std::strcat(path, name);
        ::unlink(path);
    }
    ::rmdir(folder);
}

void RemoveScratchAndDie(int signal) {
    if (gChild > 0) {
        ::kill(gChild, SIGKILL);
        ::waitpid(gChild, nullptr, 0);
    }
    if (gScratch[0]) RemoveScratchFiles(gScratch);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// A private folder beside the output. osslsigncode refuses to write over an existing file, so
// the signed file cannot be an empty temporary file made beforehand; instead the signer writes
// a new file in a folder made new for it (mode 0700), on the output's file system, from where
// the finished file is renamed into place.
class ScratchFolder {
public:
    ScratchFolder() = default;
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        if (path_.empty()) return;
        RemoveScratchFiles(path_.c_str());
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, SIG_DFL);
        gScratch[0] = 0;
    }

    bool Create(const std::string& outputPath, std::string* error) {
        const size_t slash = outputPath.rfind('/');
        const std::string folder =
            slash == std::string::npos ? "" : outputPath.substr(0, slash + 1);
        std::string pattern =
            folder + "." +
            (slash == std::string::npos ? outputPath : outputPath.substr(slash + 1)) +
            ".sfxpack-XXXXXX";
        if (pattern.size() >= sizeof gScratch) {
            *error = outputPath + ": the path is too long";
            return false;
        }
        if (!::mkdtemp(&pattern[0])) {
            *error = "cannot create a folder in " + (folder.empty() ? std::string(".") : folder) +
                     " (" + std::strerror(errno) + ")";
            return false;
        }
        path_ = pattern;
        std::memcpy(gScratch, path_.c_str(), path_.size() + 1);
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, RemoveScratchAndDie);
        return true;
    }

    std::string File(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The program `name` as execvp would find it on PATH; empty when there is none.
std::string FindOnPath(const char* name) {
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    for (size_t start = 0;;) {
        const size_t colon = path.find(':', start);
        std::string folder = path.substr(start, colon - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        struct stat info;
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string::npos) return std::string();
        start = colon + 1;
    }
}

// Runs `args` (the first a program's path) without a shell, standard input from /dev/null,
// standard output and error into `output`. False with `*failure` saying how it ended when it
// did not end with status 0.
bool RunTool(const std::vector<std::string>& args, std::string* output, std::string* failure) {
    output->clear();
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        *failure = std::string("cannot start (") + std::strerror(errno) + ")";
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (spawned != 0) {
        ::close(pipe[0]);
        *failure = std::string("cannot start (") + std::strerror(spawned) + ")";
        return false;
    }
    gChild = pid;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0)
            output->append(buffer, static_cast<size_t>(got));
        else if (errno != EINTR)
            break;
    }
    ::close(pipe[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    gChild = 0;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    *failure = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                 : "ended by signal " + std::to_string(WTERMSIG(status));
    return false;
}

// A tool's failure as the publisher sees it: what failed, then what the tool said.
int ToolFailed(const std::string& what, const std::string& failure, const std::string& output,
               const std::string& input) {
    std::string text = output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return Fail(kExitRefused, what + " failed (" + failure + "); " + input + " is left as it was" +
                                  (text.empty() ? "" : ":\n" + text));
}

// The package as the installer will take it: whole, and summing to its record when it has one.
bool ReadSoundPackage(const std::string& path, package::PackageTrailer* trailer,
                      std::string* error) {
    package::SetupModel model;
    return OpenPackage(path, &model, trailer, error) && ChecksumHolds(path, model, *trailer, error);
}

// Whether a signer left the package where it was: the trailer, the block it names and the
// checksum record in the same places.
bool SamePackage(const package::PackageTrailer& a, const package::PackageTrailer& b) {
    return a.length == b.length && a.offset == b.offset && a.trailerOffset == b.trailerOffset &&
           a.checksum.state == b.checksum.state && a.checksum.crc == b.checksum.crc &&
           a.checksum.from == b.checksum.from && a.checksum.to == b.checksum.to;
}

// The signer's subject as osslsigncode's verify prints it ("/CN=..."); empty when not found.
std::string Subject(const std::string& verifyOutput) {
    const char kLabel[] = "Subject: ";
    const size_t at = verifyOutput.find(kLabel);
    if (at == std::string::npos) return std::string();
    const size_t from = at + sizeof kLabel - 1;
    return verifyOutput.substr(from, verifyOutput.find('\n', from) - from);
}
}  // namespace

int RunSign(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    std::string input, output, cert, key, pkcs12, passFile, ca, timestamp;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = arg == "-o" || arg == "--output" ? &output
                             : arg == "--cert"                ? &cert
                             : arg == "--key"                 ? &key
                             : arg == "--pkcs12"              ? &pkcs12
                             : arg == "--pass-file"           ? &passFile
                             : arg == "--ca"                  ? &ca
                             : arg == "--timestamp"           ? &timestamp
                                                              : nullptr;
        if (value) {
            if (i + 1 >= argc || !*argv[i + 1])
                return Fail(kExitUsage, "sign: " + arg + " needs a value");
            *value = argv[++i];
        } else if (arg == "--pass" || arg == "--password") {
            return Fail(kExitUsage,
                        "sign: no password on the command line, where every user of the "
                        "machine can read it; put it in a file and name that with --pass-file");
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Fail(kExitUsage, "sign: unknown option '" + arg + "' (see sfxpack sign --help)");
        } else if (!input.empty()) {
            return Fail(kExitUsage, "sign: one package only; '" + arg + "' is a second one");
        } else {
            input = arg;
        }
    }
    if (input.empty()) return Fail(kExitUsage, "sign: which package? (sfxpack sign --help)");
    if (!pkcs12.empty() && (!cert.empty() || !key.empty()))
        return Fail(kExitUsage, "sign: either --pkcs12 or --cert with --key, not both");
    if (pkcs12.empty() && (cert.empty() || key.empty()))
        return Fail(kExitUsage,
                    "sign: name the certificate and its key with --cert and --key, or a PKCS#12 "
                    "file with --pkcs12");
    if (output.empty()) output = input;

    // The signing inputs are read by other programs, whose messages about a missing file are
    // less plain than this one; and none of them may be the output, which is replaced.
    struct stat existingOutput;
    const bool outputExists = ::stat(output.c_str(), &existingOutput) == 0;
    for (const std::string* file : {&cert, &key, &pkcs12, &passFile, &ca}) {
        if (file->empty()) continue;
        if (::access(file->c_str(), R_OK) != 0)
            return Fail(kExitRefused, *file + ": cannot be read (" + std::strerror(errno) + ")");
        if (outputExists && SameFile(existingOutput, *file))
            return Fail(kExitRefused, output +
                                          " is one of the signing inputs; name another "
                                          "output with -o");
    }

    package::PackageTrailer before;
    std::string error;
    if (!ReadSoundPackage(input, &before, &error))
        return Fail(kExitRefused, error + "; not signed");
    struct stat inputInfo;
    if (::stat(input.c_str(), &inputInfo) != 0)
        return Fail(kExitRefused, input + ": " + std::strerror(errno));

    const std::string signer = FindOnPath("osslsigncode");
    if (signer.empty())
        return Fail(kExitRefused,
                    "osslsigncode not found: install Debian's package osslsigncode (apt-get "
                    "install osslsigncode)");
    const std::string openssl = pkcs12.empty() ? std::string() : FindOnPath("openssl");
    if (!pkcs12.empty() && openssl.empty())
        return Fail(kExitRefused,
                    "openssl not found: install Debian's package openssl (apt-get install "
                    "openssl)");

    ScratchFolder scratch;
    if (!scratch.Create(output, &error)) return Fail(kExitRefused, error);
    const std::string signedPath = scratch.File(kSignedName);
    std::string said, failure;

    // What the signature is verified against: the chain the publisher names, else the
    // certificate itself, which for a PKCS#12 file is taken out of it.
    std::string trusted = !ca.empty() ? ca : cert;
    if (trusted.empty()) {
        trusted = scratch.File(kCertificateName);
        const std::string passIn = passFile.empty() ? "pass:" : "file:" + passFile;
        std::vector<std::string> args = {openssl, "pkcs12",  "-in",      pkcs12, "-passin",
                                         passIn,  "-nokeys", "-clcerts", "-out", trusted};
        // OpenSSL 3 reads the older ciphers of files that Windows exported only when asked.
        if (!RunTool(args, &said, &failure)) {
            args.push_back("-legacy");
            if (!RunTool(args, &said, &failure))
                return ToolFailed("reading the certificate of " + pkcs12 + " with openssl", failure,
                                  said, input);
        }
    }

    // osslsigncode (2.5 and 2.9 alike) replaces a signature its input carries rather than
    // nesting a second one. It pads the file with zeros to a multiple of 8 before the table,
    // which sfxpack build makes unneeded by ending every package on a multiple of 8.
    std::vector<std::string> sign = {signer, "sign"};
    if (!pkcs12.empty())
        sign.insert(sign.end(), {"-pkcs12", pkcs12});
    else
        sign.insert(sign.end(), {"-certs", cert, "-key", key});
    if (!passFile.empty()) sign.insert(sign.end(), {"-readpass", passFile});
    if (!timestamp.empty()) sign.insert(sign.end(), {"-t", timestamp});
    sign.insert(sign.end(), {"-in", input, "-out", signedPath});
    if (!RunTool(sign, &said, &failure))
        return ToolFailed("osslsigncode sign", failure, said, input);

    package::PackageTrailer after;
    if (!ReadSoundPackage(signedPath, &after, &error))
        return Fail(kExitRefused, "the signed file does not read as the package whole: " + error +
                                      "; " + input + " is left as it was");
    if (!SamePackage(before, after))
        return Fail(kExitRefused,
                    "the signed file no longer holds the package where it was "
                    "(its trailer at offset " +
                        std::to_string(before.trailerOffset) + ", now " +
                        std::to_string(after.trailerOffset) + "); " + input + " is left as it was");

    // Revocation is Windows' to check on the user's machine; newer osslsigncode fetches the
    // revocation list a CA's certificate names, which a build machine without network cannot.
    std::vector<std::string> verify = {signer, "verify"};
    (void)RunTool({signer, "verify", "--help"}, &said, &failure);  // its status varies by version
    if (said.find("-ignore-crl") != std::string::npos) verify.push_back("-ignore-crl");
    verify.insert(verify.end(), {"-in", signedPath, "-CAfile", trusted});
    if (!RunTool(verify, &said, &failure)) {
        const std::string against = !ca.empty()     ? ca
                                    : !cert.empty() ? cert
                                                    : "the certificate of " + pkcs12;
        return ToolFailed("verifying the signature against " + against +
                              (ca.empty() ? " (for a certificate a CA issued, name the CA's "
                                            "certificates with --ca)"
                                          : ""),
                          failure, said, input);
    }
    const std::string subject = Subject(said);

    struct stat signedInfo;
    const mode_t umaskValue = ::umask(0);
    ::umask(umaskValue);
    if (::chmod(signedPath.c_str(), inputInfo.st_mode & 0777 & ~umaskValue) != 0 ||
        ::stat(signedPath.c_str(), &signedInfo) != 0)
        return Fail(kExitRefused, "cannot finish the signed file (" +
                                      std::string(std::strerror(errno)) + "); " + input +
                                      " is left as it was");
    platform::ErrorCode reason = 0;
    if (!platform::MoveIntoPlace(signedPath.c_str(), output.c_str(), &reason))
        return Fail(kExitRefused, "cannot rename the signed file to " + output + " (" +
                                      std::strerror(static_cast<int>(reason)) + "); " + input +
                                      " is left as it was");
    std::printf("signed %s (%lld bytes%s)\n", output.c_str(),
                static_cast<long long>(signedInfo.st_size),
                subject.empty() ? "" : (", certificate " + subject).c_str());
    return kExitOk;
}

}  // namespace sfxpack
