#include "host/host.h"
#include "host/ring/ring.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

struct Payload {
    int count;
};

void countingHandler(void* data, void*, int code, void* payload) {
    calls.push_back(std::string(static_cast<const char*>(data)) + ":" + std::to_string(code));
    if (payload) static_cast<Payload*>(payload)->count += 1;
}

TEST(Ring, DeliversToEveryHandlerOfTheTopicInAttachOrderBeforeReturning) {
    host::Ring ring;
    calls.clear();
    char a[] = "a", b[] = "b", c[] = "c";
    ASSERT_EQ(ring.attach("CAGES", a, countingHandler), 1);
    ASSERT_EQ(ring.attach("OTHER", b, countingHandler), 1);
    ASSERT_EQ(ring.attach("CAGES", c, countingHandler), 1);

    Payload p{0};
    ring.message("CAGES", 3, &p);
    EXPECT_EQ(p.count, 2); // both handlers ran before message returned
    EXPECT_EQ(calls, (std::vector<std::string>{"a:3", "c:3"}));

    ring.detach("CAGES", a);
    calls.clear();
    ring.message("CAGES", 4, nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"c:4"}));
    EXPECT_EQ(ring.attachedCount("CAGES"), 1);
    EXPECT_EQ(ring.attach("CAGES", a, nullptr), 0);
}

TEST(Ring, NoHandlerLeavesThePayloadAsTheSenderFilledIt) {
    host::Ring ring;
    Payload p{-1};
    ring.message("NOBODY", 0, &p);
    EXPECT_EQ(p.count, -1);
}

host::Ring* liveRing;
char lateData[] = "late";
char secondData[] = "second";

void detachingHandler(void* data, void*, int code, void*) {
    calls.push_back(std::string(static_cast<const char*>(data)) + ":" + std::to_string(code));
    // The first handler removes the second and adds a third mid-delivery.
    liveRing->detach("T", secondData);
    liveRing->attach("T", lateData, countingHandler);
}

TEST(Ring, HandlersMayDetachAndAttachDuringDelivery) {
    host::Ring ring;
    liveRing = &ring;
    calls.clear();
    char first[] = "first";
    ring.attach("T", first, detachingHandler);
    ring.attach("T", secondData, countingHandler);
    ring.message("T", 1, nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"first:1"}));

    ring.detach("T", first);
    calls.clear();
    ring.message("T", 2, nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"late:2"}));
}

class Questions : public testing::Test {
  protected:
    Questions() : layout(out) {
        messages = static_cast<LWMessageFuncs*>(layout.services().lookup("Info Messages 2"));
    }
    std::ostringstream out;
    host::Host layout;
    LWMessageFuncs* messages;
};

TEST_F(Questions, QueuedAnswersGiveTheServiceValues) {
    layout.queueAnswer("Yes");
    layout.queueAnswer("Cancel");
    layout.queueAnswer("No");
    layout.queueAnswer("YesToAll");
    EXPECT_EQ(messages->yesNo("Morvane", "Delete All Keys?", nullptr), 1);
    EXPECT_EQ(messages->okCancel("Morvane", "Proceed?", nullptr), 0);
    EXPECT_EQ(messages->yesNoCan("Morvane", "Save?", nullptr), 1);
    EXPECT_EQ(messages->yesNoAll("Morvane", "Replace?", "all of them"), 3);
    EXPECT_EQ(layout.takePendingError(), "");
    EXPECT_EQ(out.str(), "question: Morvane / Delete All Keys? -> Yes\n"
                         "question: Morvane / Proceed? -> Cancel\n"
                         "question: Morvane / Save? -> No\n"
                         "question: Morvane / Replace? / all of them -> YesToAll\n");
}

TEST_F(Questions, NoQueuedAnswerIsAFailureNotAGuess) {
    EXPECT_EQ(messages->yesNo("Morvane", "Delete All Keys?", nullptr), 0);
    EXPECT_EQ(layout.takePendingError(),
              "question \"Morvane / Delete All Keys?\" has no answer queued (use Answer)");
    EXPECT_EQ(layout.takePendingError(), "");

    layout.queueAnswer("OK");
    EXPECT_EQ(messages->yesNo("Morvane", "Delete?", nullptr), 0);
    EXPECT_EQ(layout.takePendingError(), "answer OK does not fit question \"Morvane / Delete?\"");
    EXPECT_THROW(layout.queueAnswer("Maybe"), std::exception);
}

TEST_F(Questions, TheRingServiceReachesTheHostsRing) {
    auto* ring = static_cast<LWComRing*>(layout.services().lookup("LW Communication Ring"));
    calls.clear();
    char topic[] = "COMRING_TEST", data[] = "svc";
    EXPECT_EQ(ring->ringAttach(topic, data, countingHandler), 1);
    Payload p{0};
    ring->ringMessage(topic, 7, &p);
    EXPECT_EQ(p.count, 1);
    ring->ringDetach(topic, data);
    EXPECT_EQ(layout.ring().attachedCount("COMRING_TEST"), 0);
}

} // namespace
