#include "windows/graph_host.h"

#include <QRegularExpression>
#include <QString>

#include "app/ckw_app.h"
#include "engine/kw_error.h"
#include "graphctl/graph_client.h"
#include "platform/core/cp932.h"
#include "platform/core/registry_file.h"
#include "platform/core/shown_text.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/language.h"
#include "platform/ui/prompts.h"

namespace zbq::windows {

namespace {

GraphOutput* g_output = nullptr;

// The control asks in Japanese, with the file's name inside its question, which no translation
// holds whole: the question is put in the language in force here, the name filled in.
QString shownQuestion(const std::string& utf8) {
    static const QRegularExpression overwrite(
        QStringLiteral("^'(.*)' へ上書きしようとしています。\\rよろしいですか？$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QString text = QString::fromStdString(utf8);
    const QRegularExpressionMatch m = overwrite.match(text);
    if (!m.hasMatch()) return text;
    return ui::shown(ZBQ_SHOWN("'%1' へ上書きしようとしています。\nよろしいですか？"))
        .arg(m.captured(1));
}

QString shownTitle(const std::string& utf8) {
    static constexpr const char* kOverwriteTitle = ZBQ_SHOWN("上書き確認");
    const QString title = QString::fromStdString(utf8);
    return title == QString::fromUtf8(kOverwriteTitle) ? ui::shown(kOverwriteTitle) : title;
}

class PromptsHost final : public grafvik::GraphHost {
public:
    explicit PromptsHost(CKWApp& app) : app_(app) {}
    std::string clipboardText() override {
        const std::optional<std::string> text = ui::clipboard().text();
        return text ? cp932::toUtf8(*text) : std::string();
    }
    bool askOkCancel(const std::string& title, const std::string& text) override {
        return ui::prompts().message(app_.windows().mainWindow(), shownQuestion(text),
                                     shownTitle(title), ui::Icon::Question,
                                     ui::Buttons::OkCancel) == ui::Answer::Ok;
    }
    void beep() override { ui::prompts().beep(); }

private:
    CKWApp& app_;
};

class ClientOutput final : public GraphOutput {
public:
    ClientOutput(std::unique_ptr<PromptsHost> host,
                 std::unique_ptr<grafvik::GraphControlClient> client)
        : host_(std::move(host)), client_(std::move(client)) {
        previous_ = setGraphOutput(this);
    }
    ~ClientOutput() override {
        if (graphOutput() == this) setGraphOutput(previous_);
    }
    void setFilePath(const std::string& path) override { client_->setFilePath(path); }
    void setData(const std::string& text) override { client_->setData(cp932::toUtf8(text)); }
    void closeXls(const std::string& path) override { client_->closeXls(path); }
    void exNormal() override { client_->exNormal(); }

private:
    std::unique_ptr<PromptsHost> host_;
    std::unique_ptr<grafvik::GraphControlClient> client_;
    GraphOutput* previous_ = nullptr;
};

}  // namespace

GraphOutput* graphOutput() {
    return g_output;
}

GraphOutput* setGraphOutput(GraphOutput* output) {
    GraphOutput* previous = g_output;
    g_output = output;
    return previous;
}

std::unique_ptr<GraphOutput> openGraphHost(CKWApp& app) {
    if (!app.GetGraphOutput()) return nullptr;
    auto host = std::make_unique<PromptsHost>(app);
    std::string why;
    std::unique_ptr<grafvik::GraphControlClient> client =
        grafvik::GraphControlClient::open(Registry(), host.get(), &why);
    if (!client) {
        app.SetGraphOutput(0);
        WriteErrorLog(-1, cp932::fromUtf8("グラフコントロールを開けません: " + why).value_or(why));
        return nullptr;
    }
    return std::make_unique<ClientOutput>(std::move(host), std::move(client));
}

std::unique_ptr<grafvik::GraphHost> makeGraphHost(CKWApp& app) {
    return std::make_unique<PromptsHost>(app);
}

GraphOutput* graphOutputFor(CKWApp& app) {
    if (GraphOutput* output = graphOutput()) return output;
    static std::unique_ptr<GraphOutput> opened;
    if (!opened) opened = openGraphHost(app);
    return graphOutput();
}

}  // namespace zbq::windows
