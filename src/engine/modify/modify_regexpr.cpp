#include "engine/modify/modify_regexpr.h"

#include "engine/query/regexpr_line_rule.h"
#include "regexpr/vx_regex.h"

namespace vsr::engine {
namespace {

std::string joinCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += lines[i];
    }
    return out;
}

class Substituter {
public:
    Substituter(ModifyContext& context, regexpr::TVxRegex& re, std::string templateText)
        : context_(context), re_(re), template_(std::move(templateText)),
          type_(context.conditions().modificationType) {}

    // The subject with every non-empty match modified; `changed` is false (and the text empty)
    // when nothing matched.
    // Throws MatchInterrupted when Stop ends a match.
    std::string apply(std::string_view subject, bool& changed) {
        changed = false;
        if (!re_.Exec(subject)) return {};
        std::string out;
        std::size_t copyFrom = 0;
        do {
            context_.pumpIfDue(20);
            if (context_.stopped()) throw regexpr::MatchInterrupted();
            const std::int64_t length = re_.MatchLength(0);
            if (length <= 0) continue;
            const std::size_t start = static_cast<std::size_t>(re_.MatchStart(0) - 1);
            const std::size_t end = start + static_cast<std::size_t>(length);
            out.append(subject.substr(copyFrom, start - copyFrom));
            switch (type_) {
                case ModificationType::Replace: out += re_.ExpandTemplate(template_); copyFrom = end; break;
                // The match stays in the subject and is copied with the text after it.
                case ModificationType::InsertBefore: out += re_.ExpandTemplate(template_); copyFrom = start; break;
                case ModificationType::InsertAfter:
                    out.append(subject.substr(start, end - start));
                    out += re_.ExpandTemplate(template_);
                    copyFrom = end;
                    break;
                case ModificationType::Delete:
                case ModificationType::Clear:
                case ModificationType::None: copyFrom = end; break;
            }
            changed = true;
        } while (re_.ExecNext());
        if (!changed) return {};
        out.append(subject.substr(copyFrom));
        return out;
    }

private:
    ModifyContext& context_;
    regexpr::TVxRegex& re_;
    std::string template_;
    ModificationType type_;
};

void setUp(regexpr::TVxRegex& re, const SearchConditions& c, const platform::CodePage& page,
           const std::string& expression) {
    unsigned bits = regexpr::kModR | regexpr::kModG | regexpr::kModM;
    if (!c.caseSensitive) bits |= regexpr::kModI;
    if (c.dotMatchesAll) bits |= regexpr::kModS;
    if (c.extendedSyntax) bits |= regexpr::kModX;
    re.SetModifiers(bits);
    re.SetUtf8(page.isUtf8());
    re.SetCaseTable(page.upperTable());
    regexpr::ByteTable word{};
    for (int b = 0; b < 256; ++b) word[static_cast<std::size_t>(b)] = page.isWordChar(static_cast<unsigned char>(b)) ? 1 : 0;
    re.SetWordTable(word);
    re.SetExpression(expression);
    re.Compile();
}

EngineOutcome reportAndStop(ModifyContext& context, const regexpr::EVxRegex& e) {
    const std::string message = e.what();
    context.host().messageBox("Regular Expression", "Error: " + (message.size() > 16 ? message.substr(16) : message),
                              MessageIcon::Exclamation);
    context.requestStop();
    return EngineOutcome::Stopped;
}

}  // namespace

EngineOutcome RegExprModify(ModifyContext& context, FileModel& model, const results::ModificationInterval& interval) {
    const SearchConditions& c = context.conditions();
    if (insertsReplacement(c.modificationType))
        for (const std::string& line : c.replaceLines)
            if (line.size() > kMaxReplaceLine) {
                context.failRun(kReplaceLinesTooLong);
                return EngineOutcome::Stopped;
            }
    const std::string expression = anchoredExpression(joinCrLf(c.searchLines));
    const std::string templateText = c.modificationType == ModificationType::Delete ? std::string()
                                                                                     : joinCrLf(c.replaceLines);
    regexpr::TVxRegex re;
    try {
        setUp(re, c, context.codePage(), expression);
    } catch (const regexpr::EVxRegex& e) {
        // The expression itself is wrong: every file would fail the same way.
        return reportAndStop(context, e);
    }
    re.SetCancelHook([&context] {
        context.pumpIfDue(25);
        return !context.stopped();
    });
    Substituter substituter(context, re, templateText);
    try {
        bool changed = false;
        if (matchesLineByLine(c, c.searchLines.size(), expression)) {
            std::size_t first = 1;
            std::size_t last = model.lines.size();
            if (c.eachLineSeparately && c.regExprIntervals) {
                if (interval.isNil()) return EngineOutcome::Done;
                // Lines outside the file are simply absent here.
                first = interval.from > 0 ? static_cast<std::size_t>(interval.from) : 1;
                if (interval.to > 0 && static_cast<std::size_t>(interval.to) < last) last = static_cast<std::size_t>(interval.to);
            }
            for (std::size_t i = first; i <= last; ++i) {
                context.pumpIfDue(20);
                if (context.stopped()) return EngineOutcome::Stopped;
                std::string result = substituter.apply(model.lines[i - 1], changed);
                if (changed) model.lines[i - 1] = model.keep(std::move(result));
            }
        } else {
            std::string subject;
            for (std::size_t i = 0; i < model.lines.size(); ++i) {
                subject += model.lines[i];
                if (i + 1 < model.lines.size() || model.endedWithLineEnd) subject += "\r\n";
            }
            std::string result = substituter.apply(subject, changed);
            if (changed) model.replaceWithText(std::move(result));
        }
    } catch (const regexpr::MatchInterrupted&) {
        return EngineOutcome::Stopped;
    } catch (const regexpr::EVxRegex& e) {
        // An expression too complex for this text: the file stays as it was and, as with any
        // other expression error, the run ends with the message instead of going on silently.
        return reportAndStop(context, e);
    }
    return context.stopped() ? EngineOutcome::Stopped : EngineOutcome::Done;
}

}  // namespace vsr::engine
