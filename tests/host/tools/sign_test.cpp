// sfxpack sign as a publisher runs it: the real program and Debian's osslsigncode, on a package
// built behind the bare PE headers that osslsigncode accepts, with a throwaway certificate.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "package_builder.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

class SignTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (Shell("command -v osslsigncode && command -v openssl") != 0)
            GTEST_SKIP() << "osslsigncode or openssl is not installed (scripts/bootstrap.sh)";
        WriteBytes(dir.File("pe.exe"), PeImage());
        WriteBytes(dir.File("a.txt"), "hello");
        WriteBytes(dir.File("setup.toml"),
                   "[application]\nname = \"Demo\"\n[[files]]\nsource = \"a.txt\"\n");
        ASSERT_EQ(Run("build setup.toml -o setup.exe --stub pe.exe --quiet"), 0) << err;
        unsigned_ = ReadBytes(dir.File("setup.exe"));
        // A certificate a CA issues names where its revocation list lies; this machine has no
        // network, and signing must not need one.
        ASSERT_EQ(Certificate("c.pem", "k.pem"), 0) << err;
    }

    int Shell(const std::string& command) {
        const int status = std::system(
            ("cd '" + dir.path() + "' && { " + command + "; } >out.txt 2>err.txt").c_str());
        out = ReadBytes(dir.File("out.txt"));
        err = ReadBytes(dir.File("err.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Run(const std::string& args, const std::string& environment = "") {
        return Shell(environment + " " + SFXPACK_PATH + " " + args);
    }
    int Certificate(const std::string& cert, const std::string& key) {
        return Shell(
            "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Test -addext "
            "crlDistributionPoints=URI:http://127.0.0.1:1/ca.crl -keyout " +
            key + " -out " + cert);
    }
    // Every entry of the folder with its bytes, but for the captured output.
    std::map<std::string, std::string> Entries() const {
        std::map<std::string, std::string> entries;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "out.txt" && name != "err.txt")
                entries[name] =
                    entry.is_regular_file() ? ReadBytes(entry.path().string()) : "a folder";
        }
        return entries;
    }
    // Whether `signedPath` holds the unsigned package's bytes, the stub's headers aside, where
    // the signer writes its checksum and the signature's place.
    bool HoldsThePackage(const std::string& signedPath) const {
        const std::string bytes = ReadBytes(dir.File(signedPath));
        return bytes.size() >= unsigned_.size() &&
               bytes.compare(0x200, unsigned_.size() - 0x200, unsigned_, 0x200) == 0;
    }

    TempDir dir;
    std::string out, err, unsigned_;
};

TEST_F(SignTest, TheSignedPackageReadsAsBeforeAndASecondSigningReplacesTheFirst) {
    ASSERT_EQ(Run("sign setup.exe --cert c.pem --key k.pem"), 0) << err;
    EXPECT_EQ(out.rfind("signed setup.exe (", 0), 0u) << out;
    EXPECT_NE(out.find("certificate /CN=Test"), std::string::npos) << out;
    EXPECT_TRUE(HoldsThePackage("setup.exe"));
    EXPECT_EQ(Run("verify setup.exe"), 0) << out;
    EXPECT_EQ(Run("info setup.exe"), 0);
    EXPECT_NE(out.find("signature: "), std::string::npos) << out;

    const std::string once = ReadBytes(dir.File("setup.exe"));
    ASSERT_EQ(Run("sign setup.exe --cert c.pem --key k.pem -o twice.exe"), 0) << err;
    EXPECT_EQ(ReadBytes(dir.File("setup.exe")), once);
    // A nested second signature would add a table of its own.
    EXPECT_EQ(ReadBytes(dir.File("twice.exe")).size(), once.size());
    ASSERT_EQ(Shell("osslsigncode remove-signature -in twice.exe -out removed.exe"), 0) << out;
    EXPECT_EQ(ReadBytes(dir.File("removed.exe")).size(), unsigned_.size());
    EXPECT_TRUE(HoldsThePackage("removed.exe"));
    EXPECT_EQ(Run("verify removed.exe"), 0) << out;
}

// Both the current encryption and the older one of files exported from Windows, which OpenSSL 3
// reads only when asked.
TEST_F(SignTest, APkcs12FileWithItsPasswordInAFile) {
    WriteBytes(dir.File("pass.txt"), "s3cret\n");
    WriteBytes(dir.File("wrong.txt"), "guess\n");
    for (const std::string cipher : {"", "-legacy"}) {
        SCOPED_TRACE(cipher);
        ASSERT_EQ(Shell("openssl pkcs12 -export " + cipher +
                        " -inkey k.pem -in c.pem -passout file:pass.txt -out p.p12"),
                  0)
            << err;
        ASSERT_EQ(Run("sign setup.exe --pkcs12 p.p12 --pass-file pass.txt -o signed.exe"), 0)
            << err;
        EXPECT_TRUE(HoldsThePackage("signed.exe"));
        EXPECT_EQ(Run("verify signed.exe"), 0) << out;
    }
    const auto before = Entries();
    EXPECT_EQ(Run("sign setup.exe --pkcs12 p.p12 --pass-file wrong.txt"), 1);
    EXPECT_NE(err.find("with openssl failed"), std::string::npos) << err;
    EXPECT_EQ(Entries(), before);
}

// Each refusal comes before anything takes the place of a file: every file stays as it was and
// nothing is left behind.
TEST_F(SignTest, RefusalsLeaveEveryFileAsItWas) {
    ASSERT_EQ(Certificate("other.pem", "other-key.pem"), 0) << err;
    std::string damaged = unsigned_;
    damaged[1025] ^= 1;  // in a.txt's bytes, right after the stub
    WriteBytes(dir.File("damaged.exe"), damaged);
    fs::create_directory(dir.File("empty"));
    const struct {
        int status;
        std::string args, environment, message;
    } cases[] = {
        {1, "sign setup.exe --cert c.pem --key k.pem", "PATH=" + dir.File("empty"),
         "sfxpack: osslsigncode not found: install Debian's package osslsigncode (apt-get "
         "install osslsigncode)\n"},
        {1, "sign damaged.exe --cert c.pem --key k.pem", "", "damaged.exe: checksum mismatch"},
        {1, "sign pe.exe --cert c.pem --key k.pem", "", "pe.exe: not a package"},
        {1, "sign setup.exe --cert c.pem --key k.pem --ca other.pem", "",
         "verifying the signature against other.pem failed"},
        {1, "sign setup.exe --cert c.pem --key other-key.pem", "", "osslsigncode sign failed"},
        {1, "sign setup.exe --cert c.pem --key k.pem -o k.pem", "", "one of the signing inputs"},
        {2, "sign setup.exe --cert c.pem --key k.pem --pass s3cret", "", "with --pass-file"},
        {2, "sign setup.exe --cert c.pem", "", "with --cert and --key"},
    };
    const auto before = Entries();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(Run(c.args, c.environment), c.status);
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(Entries(), before);
    }
}

}  // namespace
