#include "core/SecretCipher.h"

#include <openssl/evp.h>
#include <openssl/provider.h>

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Errors.h"

namespace SecretCipher {
namespace {

// RC4 lives in OpenSSL's legacy provider. It is loaded into a library context of our own so
// that nothing else in the process gets the legacy algorithms by accident.
struct CryptoLibrary {
    OSSL_LIB_CTX* ctx = nullptr;
    OSSL_PROVIDER* defaultProvider = nullptr;
    OSSL_PROVIDER* legacyProvider = nullptr;
    EVP_MD* md5 = nullptr;
    EVP_CIPHER* rc4 = nullptr;

    CryptoLibrary() {
        ctx = OSSL_LIB_CTX_new();
        if (!ctx) return;
        defaultProvider = OSSL_PROVIDER_load(ctx, "default");
        legacyProvider = OSSL_PROVIDER_load(ctx, "legacy");
        md5 = EVP_MD_fetch(ctx, "MD5", nullptr);
        rc4 = EVP_CIPHER_fetch(ctx, "RC4", nullptr);
    }
    ~CryptoLibrary() {
        EVP_CIPHER_free(rc4);
        EVP_MD_free(md5);
        // Freeing the context does not release the providers it loaded.
        if (legacyProvider) OSSL_PROVIDER_unload(legacyProvider);
        if (defaultProvider) OSSL_PROVIDER_unload(defaultProvider);
        OSSL_LIB_CTX_free(ctx);
    }
};

CryptoLibrary& library() {
    static CryptoLibrary lib;
    return lib;
}

[[noreturn]] void raiseInit(const char* step) {
    throw BgError(1, QStringLiteral("Error occurred during %1.").arg(QLatin1String(step)));
}

QByteArray encode(const QString& text, const QString& what) {
    QByteArray bytes;
    QChar bad;
    if (!CodePage::Encode(text, &bytes, &bad)) {
        const QString subject = what.isEmpty() ? QStringLiteral("This text") : what;
        throw BgError(kErrNotEncodable,
                      QStringLiteral("%1 contains the character \"%2\", which cannot be stored safely. "
                                     "Please use only Western European letters, digits and punctuation.")
                          .arg(subject, QString(bad)));
    }
    return bytes;
}

QByteArray rc4(const QByteArray& input, const CryptKey& key, const QString& failure) {
    CryptoLibrary& lib = library();
    EVP_CIPHER_CTX* c = EVP_CIPHER_CTX_new();
    QByteArray out(input.size(), '\0');
    int len = 0;
    const bool ok =
        c &&
        EVP_CipherInit_ex2(c, lib.rc4, reinterpret_cast<const unsigned char*>(key.key.constData()), nullptr,
                           1, nullptr) == 1 &&
        EVP_CipherUpdate(c, reinterpret_cast<unsigned char*>(out.data()), &len,
                         reinterpret_cast<const unsigned char*>(input.constData()), input.size()) == 1;
    EVP_CIPHER_CTX_free(c);
    if (!ok || len != input.size()) throw BgError(1, failure);
    return out;
}

QString passPhraseOrCurrent(const QString& passPhrase) {
    return passPhrase.isEmpty() ? App().PassPhrase : passPhrase;
}

} // namespace

bool Initialize(CryptKey& key, const QString& passPhrase) {
    CryptoLibrary& lib = library();
    if (!lib.ctx || !lib.rc4) raiseInit("CryptAcquireContext");
    if (!lib.md5) raiseInit("CryptCreateHash");
    const QByteArray phrase = encode(passPhrase, QStringLiteral("The password"));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (EVP_Digest(phrase.constData(), phrase.size(), digest, &digestLength, lib.md5, nullptr) != 1)
        raiseInit("CryptHashData");
    // A 40-bit RC4 key: the first five digest bytes, then eleven zero bytes of salt.
    key.key = QByteArray(16, '\0');
    memcpy(key.key.data(), digest, 5);
    OPENSSL_cleanse(digest, sizeof digest);
    return true;
}

QString EncryptMessage(const QString& text, const QString& passPhrase) {
    if (text.isEmpty()) return QString();
    const QString phrase = passPhraseOrCurrent(passPhrase);
    const QByteArray plain = encode(text, QString());
    CryptKey key;
    if (!Initialize(key, phrase))
        throw BgError(101, QStringLiteral("Failed to initialize crypto environment."));
    QString printable = CodePage::Decode(rc4(
        plain, key,
        QStringLiteral("Error occurred during CryptEncrypt.\r\nBytes required:%1\r\n").arg(plain.size())));
    EscapeControlChars(printable);
    return printable;
}

QString DecryptMessage(const QString& text, const QString& passPhrase) {
    if (text.isEmpty()) return QString();
    const QString phrase = passPhraseOrCurrent(passPhrase);
    QString unescaped = text;
    UnescapeControlChars(unescaped);
    const QByteArray cipher = encode(unescaped, QStringLiteral("The stored text"));
    CryptKey key;
    if (!Initialize(key, phrase))
        throw BgError(101, QStringLiteral("Failed to initialize crypto environment."));
    return CodePage::Decode(rc4(cipher, key, QString()));
}

void EscapeControlChars(QString& text) {
    for (int value = 0; value < 32; ++value) {
        const QChar c{char16_t(value)};
        if (text.contains(c)) text.replace(c, QStringLiteral("<CHR%1>").arg(value));
    }
}

void UnescapeControlChars(QString& text) {
    for (int value = 0; value < 32; ++value)
        text.replace(QStringLiteral("<CHR%1>").arg(value), QString(QChar(char16_t(value))),
                     Qt::CaseSensitive);
}

void RequireEncodable(const QString& text, const QString& what) {
    encode(text, what);
}

} // namespace SecretCipher
