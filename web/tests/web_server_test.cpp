// orp-web's server against what browsers and hosts may send it: every bad page message gets an
// error and changes nothing; connections that break in the middle of a message, oversized
// messages and pages of other sites leave the panels running; a host that leaves in the middle
// of a frame does not corrupt the next host's first frame; a page's click reaches the host.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "orppanel_host.h"
#include "web_server.h"
#include "web_test_support.h"

namespace {
using json = nlohmann::json;
using webtest::RawWebSocket;

class WebServer : public ::testing::Test {
protected:
    void SetUp() override {
        socketPath = "/tmp/orp-web-test-" + std::to_string(getpid()) + ".sock";
        std::string error;
        ASSERT_EQ(0, server.AddPanel({webtest::DemoDesign(), "", socketPath, ""}, &error)) << error;
        ASSERT_EQ(1, server.AddPanel({webtest::DemoDesign("demo_de.orp"), "", "", "German"}, &error)) << error;
        ASSERT_TRUE(server.Start(&error)) << error;
    }

    // A page: open, and past the first panel's design message.
    void OpenPage(RawWebSocket& page) {
        ASSERT_EQ(101, page.Open(server.Port()));
        ASSERT_FALSE(page.NextText([](const std::string& m) { return m.find("\"type\":\"panel\"") != std::string::npos; })
                         .empty());
    }

    // The next state message of panel 0 for which `wanted` holds.
    static json StateWhere(RawWebSocket& page, const std::function<bool(const json&)>& wanted) {
        const std::string text = page.NextText([&](const std::string& m) {
            const json j = json::parse(m);
            return j["type"] == "state" && j["panel"] == 0 && wanted(j);
        });
        return text.empty() ? json() : json::parse(text);
    }

    std::string socketPath;
    orpweb::Server server{{"127.0.0.1", 0}};
};

TEST_F(WebServer, BadPageMessagesAreAnsweredWithAnErrorAndChangeNothing) {
    RawWebSocket page;
    OpenPage(page);
    const struct {
        std::string message;
        const char* error;
    } cases[] = {
        {"{\"op\": \"key\", \"panel\": 0, \"action\": \"press\"", "not JSON"},
        {"[1, 2]", "a JSON object"},
        {"{\"panel\": 0}", "\"op\" must be a string"},
        {"{\"op\": \"key\", \"panel\": 2, \"action\": \"press\", \"id\": 6}", "\"panel\" is out of range"},
        {"{\"op\": \"key\", \"panel\": \"0\", \"action\": \"press\", \"id\": 6}", "\"panel\" must be an integer"},
        {"{\"op\": \"key\", \"panel\": 0, \"action\": \"press\", \"id\": 300}", "has no such key"},
        {"{\"op\": \"key\", \"panel\": 0, \"action\": \"press\", \"id\": 18446744073709551615}", "has no such key"},
        {"{\"op\": \"key\", \"panel\": 0, \"action\": \"press\", \"id\": 200}", "panel 0 has no key 200"},
        {"{\"op\": \"key\", \"panel\": 0, \"action\": \"smash\", \"id\": 6}", "unknown key action"},
        {"{\"op\": \"mouse\", \"panel\": 0, \"event\": \"down\", \"x\": 1.5, \"y\": 2}", "\"x\" must be an integer"},
        {"{\"op\": \"mouse\", \"panel\": 0, \"event\": \"down\", \"x\": 470, \"y\": 130, \"ctrl\": 1}", "\"ctrl\" must be"},
        {"{\"op\": \"mouse\", \"panel\": 0, \"event\": \"wheel\", \"x\": 470, \"y\": 130}", "unknown mouse event"},
        {"{\"op\": \"fly\", \"panel\": 0}", "unknown op \"fly\""},
    };
    for (const auto& c : cases) {
        page.Send(c.message);
        const std::string answer = page.NextText([](const std::string& m) { return m.find("\"error\"") != std::string::npos; });
        ASSERT_FALSE(answer.empty()) << c.message;
        EXPECT_NE(std::string::npos, json::parse(answer)["message"].get<std::string>().find(c.error))
            << c.message << " -> " << answer;
    }
    page.Send("binary", 2);
    EXPECT_NE("", page.NextText([](const std::string& m) { return m.find("binary messages") != std::string::npos; }));

    // Nothing of that pressed a key; a good message still does.
    page.Send(R"({"op": "key", "panel": 0, "action": "press", "id": 6})");
    EXPECT_EQ(json::array({6}), StateWhere(page, [](const json& s) { return !s["keys"].empty(); })["keys"]);
}

TEST_F(WebServer, BrokenAndRefusedConnectionsLeaveThePanelsRunning) {
    {  // a WebSocket frame cut off by the closed socket
        RawWebSocket page;
        OpenPage(page);
        page.Send(R"({"op": "key", "panel": 0, "action": "press", "id": 6})", 1, 9);
    }
    // The WebSocket protocol's own errors close the connection with their code: a message above
    // the limit with 1009 "message too big", text that is not UTF-8 with 1007.
    for (const auto& [message, code] : {std::pair<std::string, int>{std::string(5000, ' '), 1009}, {"\xff\xfe", 1007}}) {
        RawWebSocket page;
        OpenPage(page);
        page.Send(message);
        int opcode = 0;
        std::string payload;
        while (page.Read(&opcode, &payload) && opcode != 8) {
        }
        ASSERT_EQ(8, opcode);
        ASSERT_GE(payload.size(), 2u);
        EXPECT_EQ(code, static_cast<uint8_t>(payload[0]) << 8 | static_cast<uint8_t>(payload[1]));
    }
    {  // an HTTP request that never ends its header
        RawWebSocket http;
        ASSERT_TRUE(http.Connect(server.Port()));
        http.SendRaw("GET /index.html HTTP/1.1\r\nHost: 127.");
    }
    RawWebSocket foreign, unknown;
    EXPECT_EQ(403, foreign.Open(server.Port(), "http://elsewhere.example:8022"));
    EXPECT_EQ(404, unknown.Open(server.Port(), "", "/socket"));

    RawWebSocket page;
    OpenPage(page);
    page.Send(R"({"op": "mouse", "panel": 0, "event": "down", "x": 471, "y": 130, "ctrl": false})");  // OK
    EXPECT_EQ(json::array({6}), StateWhere(page, [](const json& s) { return !s["keys"].empty(); })["keys"]);
}

TEST_F(WebServer, HostsOnTheSocketGetAFreshPanelAndThePagesClicks) {
    {  // half a frame, then gone
        orphost::SocketTransport first(socketPath, 2000);
        ASSERT_TRUE(first.Connected()) << first.Error();
        const uint8_t half[] = {'W', 'H', 'e', 'l'};
        first.Send(half, sizeof half);
    }
    orphost::SocketTransport link(socketPath, 2000);
    ASSERT_TRUE(link.Connected()) << link.Error();
    orphost::Panel host(link);
    std::vector<int> down;
    host.onKeyDown = [&](int id) { down.push_back(id); };
    ASSERT_TRUE(host.WaitForReset());  // a fresh panel announces itself
    ASSERT_TRUE(host.SetMode(0x1B));
    ASSERT_TRUE(host.Text("Hi"));

    RawWebSocket page;
    OpenPage(page);
    const json state = StateWhere(page, [](const json& s) { return s["lcd"][0].get<std::string>().rfind("Hi", 0) == 0; });
    EXPECT_EQ("socket", state["host"]);

    // Only one host at a time: the second is let in and closed at once.
    orphost::SocketTransport second(socketPath, 2000);
    orphost::Bytes bytes;
    for (int i = 0; i < 2000 && second.Connected(); ++i) {
        second.Receive(bytes);
        second.Idle();
    }
    EXPECT_FALSE(second.Connected());
    EXPECT_TRUE(bytes.empty());

    page.Send(R"({"op": "mouse", "panel": 0, "event": "down", "x": 471, "y": 184})");  // Down
    page.Send(R"({"op": "mouse", "panel": 0, "event": "up", "x": 471, "y": 184})");
    for (int i = 0; i < 2000 && down.empty(); ++i) {
        host.Poll();
        link.Idle();
    }
    EXPECT_EQ(std::vector<int>{8}, down);
}

TEST_F(WebServer, AHostInTheSameProcessTakesThePanelUntilItsTransportEnds) {
    auto link = server.Connect(1);
    ASSERT_TRUE(link);
    EXPECT_FALSE(server.Connect(1));  // taken
    {
        orphost::Panel host(*link);
        ASSERT_TRUE(host.WaitForReset());
        EXPECT_TRUE(host.Version());
    }
    link.reset();
    EXPECT_TRUE(server.Connect(1));
    EXPECT_FALSE(server.Connect(2));
}

}  // namespace
