package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class SignerTest {
    @TempDir
    Path work;

    /** The password never appears on a command line other users of the machine can read. */
    @Test
    void commandsCarryTheTimeStampServerButNeverThePassword() throws Exception {
        Path key = Files.write(work.resolve("key.pfx"), new byte[] {1});
        // PATH stands in for the password variable: it is always set.
        PackOptions options = OptionParser.parse(List.of("--name", "A", "--jar", "a.jar",
                "--out", "d", "--sign", key.toString(), "--password-env", "PATH",
                "--timestamp-url", "http://ts.example.com", "--sign-ca", key.toString()));
        Signer signer = Signer.prepare(options, "A");
        String password = System.getenv("PATH");

        List<String> sign = signer.signCommand(Path.of("in.exe"), Path.of("out.exe"));
        List<String> verify = signer.verifyCommand(Path.of("out.exe"));

        int timestamp = sign.indexOf("-ts");
        assertTrue(timestamp > 0, sign.toString());
        assertEquals("http://ts.example.com", sign.get(timestamp + 1));
        // Read from a pipe: the password is in no file either.
        assertEquals("/dev/stdin", sign.get(sign.indexOf("-readpass") + 1));
        assertFalse(sign.contains(password) || sign.contains("-pass"), sign.toString());
        assertEquals(key.toString(), verify.get(verify.indexOf("-CAfile") + 1));
    }
}
