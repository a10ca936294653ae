package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.nio.file.Path;
import java.util.List;
import java.util.function.UnaryOperator;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

class PackRequestTest {
    private static PackRequest.Builder required() {
        return PackRequest.builder().name("MyApp").jar(Path.of("app.jar")).out(Path.of("dist"));
    }

    @Test
    void valuesLikeOptionsStayValuesAndLaterValuesReplaceEarlierOnes() throws UsageException {
        PackRequest request = required().description("--jar").company("A").company("B")
                .company(null).setting("Application/Cmd=--x").build();
        assertEquals("--jar", request.options.description);
        assertNull(request.options.company);
        assertEquals("--x", request.options.settings.get(0).value);
        // The logged command line packs the same folder.
        assertEquals(List.of("--name=MyApp", "--jar=app.jar", "--out=dist", "--description=--jar",
                "--setting=Application/Cmd=--x"), request.arguments());
        assertEquals("--jar", OptionParser.parse(request.arguments()).description);
    }

    /** A build tool's request fails with the very message of the equivalent command line. */
    @ParameterizedTest(name = "{0}")
    @MethodSource("failures")
    void failsAsTheCommandLineDoes(String what, UnaryOperator<PackRequest.Builder> change,
            String message) {
        UsageException error =
                assertThrows(UsageException.class, () -> change.apply(required()).build());
        assertEquals(message, error.getMessage());
    }

    static Stream<Arguments> failures() {
        return Stream.of(
                Arguments.of("no name", (UnaryOperator<PackRequest.Builder>) b -> b.name(null),
                        "--name is missing: name the application, e.g. --name MyApp"),
                Arguments.of("bad version",
                        (UnaryOperator<PackRequest.Builder>) b -> b.version("1.x"),
                        "--version \"1.x\": \"x\" is not a number from 0 to 65535; give up to four"
                                + " numbers separated by dots, e.g. --version 1.2.3.4"),
                Arguments.of("password without key",
                        (UnaryOperator<PackRequest.Builder>) b -> b.signingPassword("s"),
                        "a signing password only applies together with --sign <key.pfx>"),
                Arguments.of("password twice", (UnaryOperator<PackRequest.Builder>) b -> b
                        .sign(Path.of("k.pfx")).passwordEnv("PW").signingPassword("s"),
                        "the signing password is given twice, directly and through"
                                + " --password-env PW; give it one way"));
    }

    @Test
    void aPasswordGivenDirectlyReachesTheSignerButNotTheCommandLine() throws UsageException {
        PackRequest request = required().sign(Path.of("k.pfx")).signingPassword("secret").build();
        assertEquals("secret", request.options.password);
        assertEquals(List.of("--name=MyApp", "--jar=app.jar", "--out=dist", "--sign=k.pfx"),
                request.arguments());
    }
}
