#include "help/engine/SiteMap.h"

#include <QRegularExpression>

namespace cq::help {
namespace {

struct Token {
    enum Kind { ListOpen, ListClose, ObjectOpen, ObjectClose, Param } kind;
    QString name;   // Param: the parameter's name, lower-cased
    QString value;  // Param: its value; ObjectOpen: the object's type
};

QString DecodeEntities(QString text) {
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

QString Attribute(const QString& attributes, const QString& wanted) {
    static const QRegularExpression re(
        QStringLiteral(R"re((\w+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"));
    for (auto it = re.globalMatch(attributes); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(1).compare(wanted, Qt::CaseInsensitive) == 0) {
            const int group = m.capturedStart(2) >= 0 ? 2 : m.capturedStart(3) >= 0 ? 3 : 4;
            return DecodeEntities(m.captured(group));
        }
    }
    return {};
}

std::vector<Token> Tokenize(const QString& html) {
    static const QRegularExpression tag(QStringLiteral(R"re(<(/?)(ul|object|param)\b([^>]*)>)re"),
                                        QRegularExpression::CaseInsensitiveOption);
    std::vector<Token> tokens;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString element = m.captured(2).toLower();
        const QString attributes = m.captured(3);
        if (element == QLatin1String("ul")) {
            tokens.push_back({closing ? Token::ListClose : Token::ListOpen, {}, {}});
        } else if (element == QLatin1String("object")) {
            tokens.push_back({closing ? Token::ObjectClose : Token::ObjectOpen,
                              {},
                              Attribute(attributes, QStringLiteral("type"))});
        } else if (!closing) {
            tokens.push_back({Token::Param, Attribute(attributes, QStringLiteral("name")).toLower(),
                              Attribute(attributes, QStringLiteral("value"))});
        }
    }
    return tokens;
}

class Parser {
  public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    std::vector<SiteMapEntry> Run() {
        std::vector<SiteMapEntry> top;
        while (pos_ < tokens_.size()) {
            ParseList(top);
            ++pos_;  // an unbalanced </UL> at the top level
        }
        return top;
    }

  private:
    // Reads entries into out until the </UL> that closes this level.
    void ParseList(std::vector<SiteMapEntry>& out) {
        while (pos_ < tokens_.size()) {
            const Token& token = tokens_[pos_];
            if (token.kind == Token::ListClose) {
                return;
            }
            ++pos_;
            if (token.kind == Token::ListOpen) {
                // A nested list belongs to the entry before it; a list that
                // opens before any entry just continues this level.
                ParseList(out.empty() ? out : out.back().children);
                ++pos_;
            } else if (token.kind == Token::ObjectOpen) {
                ParseObject(token.value, out);
            }
        }
    }

    void ParseObject(const QString& type, std::vector<SiteMapEntry>& out) {
        SiteMapEntry entry;
        for (; pos_ < tokens_.size() && tokens_[pos_].kind == Token::Param; ++pos_) {
            const Token& param = tokens_[pos_];
            // An index entry may carry several pages; the first one counts.
            if (param.name == QLatin1String("name") && entry.name.isEmpty()) {
                entry.name = param.value;
            } else if (param.name == QLatin1String("local") && entry.local.isEmpty()) {
                entry.local = param.value;
            }
        }
        if (pos_ < tokens_.size() && tokens_[pos_].kind == Token::ObjectClose) {
            ++pos_;
        }
        // The file's property object (no sitemap type) is not an entry.
        if (type.compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0 &&
            !entry.name.isEmpty()) {
            out.push_back(std::move(entry));
        }
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<SiteMapEntry> ParseSiteMap(const QString& html) {
    return Parser(Tokenize(html)).Run();
}

}  // namespace cq::help
